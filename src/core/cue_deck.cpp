#include "core/cue_deck.h"

#include <array>
#include <utility>

namespace sorelka {

namespace {

constexpr std::array<const char*, 20> kCueFiles = {
    "1.wav",    "2.wav",       "3.wav",      "4.wav",           "5.wav",
    "6.wav",    "7.wav",       "8.wav",      "9.wav",           "10.wav",
    "pipo.wav", "poon.wav",    "bubuu.wav",  "pinpon.wav",      "sharan.wav",
    "charararan.wav", "bun.wav", "pipon.wav", "chararan.wav",   "20.wav",
};

}  // namespace

std::string CueFileName(unsigned n) {
    if (n < 1 || n > kCueFiles.size()) return {};
    return std::string("oto/") + kCueFiles[n - 1];
}

CueDeck::CueDeck(std::string exe_folder, SoundBackend& backend, Dialogs& dialogs)
    : exe_folder_(std::move(exe_folder)), backend_(backend), dialogs_(dialogs) {
    for (unsigned n = 1; n <= kCueFiles.size(); ++n) {
        const std::string path = exe_folder_ + CueFileName(n);
        if (!backend_.Load(path)) unloadable_.insert(path);
    }
}

void CueDeck::PlayCue(Cue cue) {
    const auto n = static_cast<unsigned>(cue);
    if (n >= 1 && n <= kCueFiles.size()) current_file_ = exe_folder_ + CueFileName(n);
    if (current_file_.empty()) return;  // out of range before any cue: nothing to repeat

    if (unloadable_.count(current_file_)) {
        if (reported_.insert(current_file_).second) {
            dialogs_.ShowMessage("効果音のファイルをひらけませんでした。\n" + current_file_);
        }
        return;
    }
    if (!sound_enabled_) return;
    if (!sounding_file_.empty()) backend_.Stop(sounding_file_);
    backend_.Play(current_file_);
    sounding_file_ = current_file_;
}

}  // namespace sorelka
