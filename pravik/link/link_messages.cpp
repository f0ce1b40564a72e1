#include "link_messages.h"

#include "exchange.h"

namespace pravik::link {
namespace {

constexpr int kLinkFailed = static_cast<int>(ExchangeResult::LinkFailed);

} // namespace

common::Failure deviceUnavailable()
{
    return {kLinkFailed, kComErrorTitle, kDeviceUnavailableText, common::MessageIcon::Question};
}

common::Failure badLinkSettings()
{
    return {kLinkFailed, kSystemErrorTitle, kBadSettingsText, common::MessageIcon::Question};
}

common::Failure linkFailure(const QString &description)
{
    return {kLinkFailed, kSystemErrorTitle, description, common::MessageIcon::Question};
}

} // namespace pravik::link
