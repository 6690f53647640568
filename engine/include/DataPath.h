// Data paths: how a path crosses the engine's 8-bit interface and the rules for data paths, in
// one place for the engine and for its callers (the platform layer's EnginePath hands a
// QString's path here as bytes). See "Paths" at the top of dbeng.h.
//
// A path is the file system's own bytes, passed through unchanged (on this system the UTF-8 of
// its characters): unlike field texts it is not Windows-1252, so that every folder a user can
// name opens, "/home/łukasz/Daten" as well as "/srv/Bäckerei 1/". "\" and "/" both separate.
#pragma once

#include <string>
#include <string_view>

namespace datapath {

// Every "\" becomes "/"; doubled separators and trailing ones (except the root's) go.
std::string normalize(std::string_view path);

// Whether a connect path is a dictionary connection: ".DIC" stands anywhere in it, in any
// letter case. Only then does a connection ask for a login, and tables are first opened from
// the dictionary.
bool isDictionary(std::string_view path);

// The folder a connection's tables are opened from: for a path that ends in ".DIC" (any case)
// after at least one more character, the folder of that dictionary file ("." when the path
// names no folder, "/" for a file in the root); otherwise the path itself. Normalised.
std::string tableFolder(std::string_view path);

// Whether two file names are the same on the host's case-insensitive file system: equal once
// every letter that Windows-1252 has is taken in upper case ("ä" and "Ä", "é" and "É"); other
// characters must match exactly.
bool sameName(std::string_view a, std::string_view b);

// The tables come from a case-insensitive file system: the path with each part that does not
// exist under its exact name replaced by an existing one that differs only in letter case
// (sameName), looked up part by part. Parts that match nothing stay as given. Normalised.
std::string resolveCase(std::string_view path);

} // namespace datapath
