#include "app/ImapSourceFactory.h"

#include "host/imap/ImapAccountConfig.h"
#include "host/imap/ImapSource.h"

namespace lumora {

QString ImapSourceFactory::key(const QString &url)
{
    const std::optional<ImapAccountConfig> config = ImapAccountConfig::fromUrl(url);
    return config ? config->key() : QString();
}

std::unique_ptr<MailSource> ImapSourceFactory::create(const QString &url, const ImapSetup::Options &options,
                                                      QString *why)
{
    const std::optional<ImapAccountConfig> config = m_setup.account(url, options, why);
    if (!config)
        return nullptr;
    auto source = std::make_unique<ImapSource>(*config);
    m_setup.attach(source.get(), options.interactive);
    return source;
}

} // namespace lumora
