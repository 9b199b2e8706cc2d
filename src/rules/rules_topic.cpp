#include "rules/rules_topic.h"

#include "division/division_topic.h"
#include "rules/rules_diagnosis.h"
#include "rules/rules_skills.h"

namespace sorelka::rules {

TopicInfo RulesTopic() {
    // The kinds of its own calculations, then those of a division on the
    // worksheet, which is diagnosed as the division screens do it.
    std::vector<KindInfo> kinds =
        KindsLabelledBy({kStepSlip, kInverseOperation, kSumSlip, kShiftMissing}, RulesKindLabel);
    for (KindInfo& k : division::DivisionTopic().kinds) kinds.push_back(std::move(k));
    return {
        .topic = Topic::Rules,
        .name = "計算のきまり",
        .colour = 0xC22E6A,
        .menu_tint = 0xFFE6EE,
        .kinds = std::move(kinds),
        .skills = RulesSkills(),
        .practice_menu = {"（　）のある計算", "＋－×÷のある計算", "×÷のある計算", "□を求める計算"},
    };
}

}  // namespace sorelka::rules
