#include "core/topic_info.h"

#include "core/finding.h"

namespace sorelka {

std::string TopicInfo::KindLabel(std::string_view kind) const {
    for (const KindInfo& k : kinds)
        if (k.id == kind) return k.label;
    return {};
}

std::vector<KindInfo> WithSharedKinds(std::vector<KindInfo> own) {
    for (KindInfo& k : KindsLabelledBy({kSlip, kOther}, SharedKindLabel)) own.push_back(std::move(k));
    return own;
}

}  // namespace sorelka
