#pragma once

#include <span>

#include "core/skill.h"

// The skills of the decimal multiplication.
namespace sorelka::multiplication {

// The skills in the order a pupil meets them, with the menu items of each.
std::span<const TopicSkill> MultiplicationSkills();

}  // namespace sorelka::multiplication
