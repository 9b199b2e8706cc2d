# Installing the program and building its Debian package (included from the
# top-level CMakeLists.txt, so the CPack settings below are seen by CPack).
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

# Debian package: sorelka_<version>_<arch>.deb, built by packaging/build-deb.sh
# (or `cmake --build <dir> --target package`); never part of the default build.
set(SORELKA_PACKAGE_MAINTAINER "Sorelka developers <sorelka@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sorelka)
# The same version as the About box: both come from project(... VERSION ...).
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${SORELKA_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "written-arithmetic trainer for fourth-year pupils (Japanese)")
# CPack puts the summary first and indents the rest as the control file wants.
set(CPACK_PACKAGE_DESCRIPTION
    "Sorelka lets pupils practise written calculation the way it is taught at
school: long division, adding and subtracting decimals, the rules of
calculation and fractions. Each topic has a practice screen that works one
problem at a time in columns, and a timed drill whose answers are logged and
shown on a score sheet. The user interface is in Japanese.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps names the libraries the program links (Qt Core, Gui with its
# X11 platform plugin, Widgets, Sql, Multimedia, the C++ runtime) with their
# minimum versions; the list below adds what is only loaded at run time: the
# SQLite driver of Qt Sql and the fonts the screens ask for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, fonts-motoya-l-maruberi, fonts-noto-cjk")
# The class server is optional: libpq (which sends the rows) is linked and so
# named by dpkg-shlibdeps; Qt's driver, which reads the class back for the
# teacher's view, only matters where a server is configured.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
include(CPack)
