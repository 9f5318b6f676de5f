#pragma once

#include <string>

// The per-user directory where Tarno keeps its settings store, data logs and screenshots:
// $XDG_DATA_HOME/Tarno/, or ~/.local/share/Tarno/ when XDG_DATA_HOME is unset, empty or relative
// (relative values are invalid by the XDG rules). Created, parents included, when missing.
// Returns the path with a trailing '/', or an empty string when no home directory is known or
// the directory cannot be created.
std::string writableDirectory();

// The user's home: $HOME when it is an absolute path, else the account's entry in the password
// database; empty when neither is known. Never a shared directory such as /tmp.
std::string homeDirectory();
