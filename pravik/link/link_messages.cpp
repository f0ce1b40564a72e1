#include "link_messages.h"

#include "common/prompter.h"

namespace pravik::link {

void reportLinkFailure(common::Prompter &prompter, const LinkFailure &failure)
{
    switch (failure.kind) {
    case LinkFailure::Kind::DeviceUnavailable:
        prompter.tell(kDeviceUnavailableText, kComErrorTitle, common::MessageIcon::Question);
        return;
    case LinkFailure::Kind::BadSettings:
        prompter.tell(kBadSettingsText, kSystemErrorTitle, common::MessageIcon::Question);
        return;
    case LinkFailure::Kind::Other:
        prompter.tell(failure.description, kSystemErrorTitle, common::MessageIcon::Question);
        return;
    }
}

} // namespace pravik::link
