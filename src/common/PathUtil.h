#pragma once
// Small path and text helpers shared by the list, transfer and rename code.
#include <QString>

// A non-empty path gets a trailing separator unless it already ends with one.
QString WithBackslash(const QString &path);
// Every occurrence of the character `from` replaced by `to`.
QString ReplaceAll(const QString &text, QChar from, QChar to);
// "[001]" for 1, "[999]" for 999, "[1000]" from 1000 on.
QString NumberTag(int i);

// The extension of the last path component with its dot ("x.JPG" -> ".JPG"),
// empty when the name has none. A lone trailing dot counts as no extension.
QString FileExt(const QString &path);
// FileExt lower-cased.
QString LowerExt(const QString &path);
// The last path component.
QString FileNamePart(const QString &path);
// The folder part including its trailing separator ("/a/b.jpg" -> "/a/").
QString FolderPart(const QString &path);
