#pragma once
// Path texts of the file view.

#include <QString>

#include <functional>

namespace kestrel {

// folder + "/" + name, without doubling a "/" the folder already ends in.
QString JoinPath(const QString& folder, const QString& name);

// The path shortened until width(text) <= maxWidth: the file name stays, and the leading folders
// give way one at a time to ".../"; last, the leading "/" goes too. Returns the shortest form when
// none fits.
QString MinimizeName(const QString& path, const std::function<int(const QString&)>& width,
                     int maxWidth);

} // namespace kestrel
