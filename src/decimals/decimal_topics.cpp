#include "decimals/decimal_topics.h"

#include "decimals/decimal_diagnosis.h"
#include "decimals/decimal_skills.h"

namespace sorelka::decimals {

TopicInfo DecimalAdditionTopic() {
    return {
        .topic = Topic::DecimalAddition,
        .name = "小数のたし算",
        .colour = 0x2E8B3E,
        .menu_tint = 0xE4F6E4,
        .kinds = WithSharedKinds(KindsLabelledBy({kCarryMissing, kColumnSlip}, DecimalKindLabel)),
        .skills = DecimalSkills(Operation::Addition),
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
    };
}

}  // namespace sorelka::decimals
