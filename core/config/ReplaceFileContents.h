#pragma once

#include "core/config/FileResult.h"

#include <QString>

#include <string_view>

// Whether a save may make the folder that is to hold the file.
enum class MissingFolder {
    Fail,  // a file the user named: its folder must exist ("No such file or directory")
    Make,  // the program's own settings file: its folder, and any missing above it, are made for their owner only
};

// Makes `bytes` the whole content of the file at `path`: Done, or Failed
// with the file as it was and the reason, in the system's words where it
// has them. A symbolic link stays a link and the file it leads to gets the
// new content.
//
// The content is written to "<file>.saving" beside the file and renamed over
// it, so a reader, a crash or a kill finds the old or the new content, never
// a part of it. The new file keeps the old one's mode, and its owner and
// group as far as the caller may give them away. A file whose mode forbids
// the caller to write it is never replaced, by root neither. Only a writable
// file in a folder that allows no new files is written in place, since
// nothing else can save it there, and only once the space for the new
// content is reserved, so that a full disk leaves the old content whole. A
// loop of links is no file, and is left as it is.
FileResult ReplaceFileContents(const QString& path, std::string_view bytes, MissingFolder missingFolder);
