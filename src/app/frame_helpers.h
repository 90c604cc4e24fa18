// Small helpers the main window's command files share.
#pragma once

#include <QDir>
#include <QFile>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <algorithm>
#include <string>
#include <string_view>

namespace mq::app::frame {

inline QString qs(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
// Paths as the file layer takes them (UTF-8 on Windows, the file system's
// bytes elsewhere), and back as the user writes them ("\\" on Windows).
#ifdef Q_OS_WIN
inline std::string localPath(const QString& path) { return path.toStdString(); }
inline QString fromLocalPath(const std::string& path)
{
    return QDir::toNativeSeparators(QString::fromStdString(path));
}
#else
inline std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
inline QString fromLocalPath(const std::string& path) { return QFile::decodeName(path.c_str()); }
#endif

// Menu texts built from paths: a single "&" would mark an access key.
inline QString menuText(QString text) { return text.replace(QLatin1Char('&'), QStringLiteral("&&")); }
inline QString fromMenuText(QString text) { return text.replace(QStringLiteral("&&"), QStringLiteral("&")); }

// A path in a message: its blanks do not break the line.
inline QString shownPath(QString path) { return path.replace(QLatin1Char(' '), QChar(QChar::Nbsp)); }

// Font sizes the editor accepts, in points.
inline constexpr double kSmallestFontSize = 1.0;
inline constexpr double kLargestFontSize = 400.0;
inline bool isSaneFontSize(double size) { return size >= kSmallestFontSize && size <= kLargestFontSize; }

// Where a tool window first appears: a little inside the main window's top
// left corner, moved back onto the screen where it would stick out.
inline QPoint placeNear(const QRect& owner, const QSize& size, const QRect& screen)
{
    QPoint at = owner.topLeft() + QPoint(60, 90);
    at.setX(std::max(screen.left(), std::min(at.x(), screen.right() + 1 - size.width())));
    at.setY(std::max(screen.top(), std::min(at.y(), screen.bottom() + 1 - size.height())));
    return at;
}

}  // namespace mq::app::frame
