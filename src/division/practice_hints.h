#pragma once

#include <optional>
#include <string>

// The hint line of the division practice screen: what the pupil should do
// next, after a row is confirmed (or a problem starts) and after a digit is
// chosen. "\r" marks the line break inside a hint. An empty result means the
// hint line keeps what it shows.
namespace sorelka::division {

inline constexpr const char* kChooseMenuPrompt = "メニューを 選んでね！";
inline constexpr const char* kGoOnPrompt = "「次へ」ボタンで進めてね！";

// The hint after confirming `step` (0 for a new problem and after "クリア").
std::optional<std::string> StepHint(int step);
// The hint after a digit is chosen while `step` is being written.
std::optional<std::string> DigitHint(int step);

// "○" for a right answer, "×" for a wrong one.
std::string Mark(bool right);

}  // namespace sorelka::division
