#include "decimals/decimal_topics.h"

#include "decimals/decimal_diagnosis.h"
#include "decimals/decimal_skills.h"

namespace sorelka::decimals {

namespace {

// Addition and subtraction share one practice screen and its menu.
std::vector<std::string> DecimalPracticeMenu() { return {"小数第一位", "小数第二位", "小数第三位"}; }

}  // namespace

TopicInfo DecimalAdditionTopic() {
    return {
        .topic = Topic::DecimalAddition,
        .name = "小数のたし算",
        .colour = 0x2E8B3E,
        .menu_tint = 0xE4F6E4,
        .kinds = WithSharedKinds(KindsLabelledBy({kCarryMissing, kColumnSlip}, DecimalKindLabel)),
        .skills = DecimalSkills(Operation::Addition),
        .practice_menu = DecimalPracticeMenu(),
    };
}

TopicInfo DecimalSubtractionTopic() {
    return {
        .topic = Topic::DecimalSubtraction,
        .name = "小数のひき算",
        .colour = 0x1F5FBF,
        .menu_tint = 0xE2EEFF,
        .kinds = WithSharedKinds(
            KindsLabelledBy({kBorrowMissing, kSmallerFromLarger, kColumnSlip}, DecimalKindLabel)),
        .skills = DecimalSkills(Operation::Subtraction),
        .practice_menu = DecimalPracticeMenu(),
    };
}

}  // namespace sorelka::decimals
