# Installing the program (included from the top-level CMakeLists.txt).
#
#   <prefix>/lib/sorelka/sorelka          the program
#   <prefix>/lib/sorelka/oto/*.wav        its sound cues   } found through the
#   <prefix>/lib/sorelka/Sorelka.hlp      its help         } program's own folder
#   <prefix>/bin/sorelka                  -> ../lib/sorelka/sorelka
#   <prefix>/share/applications/sorelka.desktop
#   <prefix>/share/icons/hicolor/<n>x<n>/apps/sorelka.png
#
# The drill log is not installed: the program creates it in the user's data
# folder on first use.

install(TARGETS sorelka RUNTIME DESTINATION ${SORELKA_INSTALL_APPDIR})

# The launcher on PATH is a relative symbolic link, so the tree works under any
# prefix and when unpacked anywhere. The program resolves the link to its real
# folder (Qt reads /proc/self/exe) and finds oto/ and the help there.
file(RELATIVE_PATH sorelka_launcher_target
     /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${SORELKA_INSTALL_APPDIR}/sorelka)
set(sorelka_launcher ${CMAKE_BINARY_DIR}/packaging/sorelka)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
file(CREATE_LINK ${sorelka_launcher_target} ${sorelka_launcher} SYMBOLIC)
install(FILES ${sorelka_launcher} DESTINATION ${CMAKE_INSTALL_BINDIR})
