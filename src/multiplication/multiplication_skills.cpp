#include "multiplication/multiplication_skills.h"

namespace sorelka::multiplication {

std::span<const TopicSkill> MultiplicationSkills() { return {}; }

}  // namespace sorelka::multiplication
