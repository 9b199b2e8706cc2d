#include "division/division_topic.h"

#include "division/division_diagnosis.h"
#include "division/division_skills.h"

namespace sorelka::division {

TopicInfo DivisionTopic() {
    return {
        .topic = Topic::Division,
        .name = "わり算",
        .colour = 0xD97300,
        .menu_tint = 0xFFF4D6,
        .kinds = WithSharedKinds(KindsLabelledBy({kQuotientTooBig, kQuotientTooSmall, kQuotientPlace, kZeroMissing,
                                                  kProductSlip, kDifferenceSlip, kBringDown},
                                                 DivisionKindLabel)),
        .skills = DivisionSkills(),
        .practice_menu = {"１けたでわる", "２けたでわる", "３けたでわる"},
    };
}

}  // namespace sorelka::division
