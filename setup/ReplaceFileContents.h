#pragma once

#include <QString>

#include <string_view>

// Makes `bytes` the whole content of the file at `path`; when that fails the
// file is as it was and `reason` says why, in the system's words where it
// has them. A symbolic link stays a link and the file it leads to gets the
// new content.
//
// The content is written to "<file>.saving" beside the file and renamed over
// it, so a reader, a crash or a kill finds the old or the new content, never
// a part of it. Only a writable file in a folder that allows no new files is
// written in place, since nothing else can save it there. A missing folder
// (and any missing above it) is created first, for its owner only.
bool ReplaceFileContents(const QString& path, std::string_view bytes, QString& reason);
