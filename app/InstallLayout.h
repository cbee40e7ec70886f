#pragma once

#include <QString>

namespace lumora {

// Where the running `lumora` finds its plugins and the files that lie beside them: in a
// build tree everything sits in one folder; an installed copy keeps them in a private
// library folder reached from the executable by a path fixed at build time, so that no
// environment variable is needed and the whole tree can be moved to another prefix.
class InstallLayout
{
public:
    // The plugin folder for an executable in executableFolder: that folder itself when the
    // add-in lies there, else the installed library folder relative to it.
    static QString pluginFolder(const QString &executableFolder);
    // The same for the running executable.
    static QString pluginFolder();
    // The installed plugin folder relative to the executable's, fixed at build time.
    static QString relativePluginFolder();
};

} // namespace lumora
