// The product has one version: what the About box reads from both libraries' version data,
// what `lumora --version` prints, the manual page's header and the package all say the same.
#include "support/frmAbout.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

QString fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString aboutVersion(const QString &library)
{
    frmAbout box(QStringLiteral("Lumora"), library);
    const QString text = box.findChild<QLabel *>(QStringLiteral("lblVersion"))->text();
    return text.startsWith(QLatin1String("Version ")) ? text.mid(8) : QString();
}

QString captured(const QString &text, const QString &pattern)
{
    const QRegularExpressionMatch match = QRegularExpression(pattern, QRegularExpression::MultilineOption).match(text);
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

TEST(ProductVersion, AboutBoxProgramManualPageAndPackageAgree)
{
    const QString version = aboutVersion(QStringLiteral(LUMORA_ADDIN_LIBRARY));
    ASSERT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$")).match(version).hasMatch())
        << version.toStdString();
    EXPECT_EQ(aboutVersion(QStringLiteral(LUMORA_PROPS_LIBRARY)), version);

    // No display is needed to ask for the version.
    QProcess lumora;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    lumora.setProcessEnvironment(env);
    lumora.start(QStringLiteral(LUMORA_BINARY), {QStringLiteral("--version")});
    ASSERT_TRUE(lumora.waitForFinished(30000));
    EXPECT_EQ(lumora.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(lumora.readAllStandardOutput()), QStringLiteral("Lumora %1\n").arg(version));

    EXPECT_EQ(captured(fileText(QStringLiteral(LUMORA_MAN_PAGE)), QStringLiteral("^\\.TH .* \"Lumora ([^\"]*)\"")),
              version);
    EXPECT_EQ(captured(fileText(QStringLiteral(LUMORA_PACKAGE_CONFIG)),
                       QStringLiteral("^set\\(CPACK_PACKAGE_VERSION \"([^\"]*)\"\\)")),
              version);
}
