// The icons the desktop shows for files and folders, from the icon theme. Markup asks for them
// with "SSYS:" (small) and "LSYS:" (large) followed by a file or folder name, or by a number
// of the desktop's standard icons: 0 computer, 1 desktop, 2 trash, 3 network, 4 drive,
// 5 folder, 6 file.
#pragma once

#include <QPixmap>
#include <QString>

namespace ShellIcons {

constexpr int kSmallSize = 16;
constexpr int kLargeSize = 32;

// A null picture when there is no such icon.
QPixmap icon(const QString &nameOrNumber, bool large);

} // namespace ShellIcons
