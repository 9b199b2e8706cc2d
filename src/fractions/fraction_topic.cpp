#include "fractions/fraction_topic.h"

#include "fractions/fraction_diagnosis.h"
#include "fractions/fraction_sheet.h"
#include "fractions/fraction_skills.h"

namespace sorelka::fractions {

TopicInfo FractionsTopic() {
    return {
        .topic = Topic::Fractions,
        .name = "分数の表し方",
        .colour = 0x6A3FB5,
        .menu_tint = 0xF0E8FF,
        .kinds = WithSharedKinds(KindsLabelledBy(
            {kNotMixed, kWholePart, kWholeNotMultiplied, kNumeratorSlip, kDenominatorChanged}, FractionKindLabel)),
        .skills = FractionSkills(),
        .practice_menu = MenuItems(),
    };
}

}  // namespace sorelka::fractions
