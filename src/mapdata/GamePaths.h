#pragma once

#include <optional>
#include <string>
#include <string_view>

// Names in the DAT file and in the editors keep the games' own form ("DATA\MAPS\x.ide":
// backslashes, any letter case) so that they are written back unchanged. This turns the
// game directory and such a name into a path on disk. Every file under the game directory
// is opened through it.
//
// Separators become the platform's; empty components (doubled backslashes) are dropped.
// On a case-sensitive file system each component that does not exist as written is
// matched against its directory's entries without regard to case; from the first
// component that matches nothing on, the rest is taken as written (a file to be created).
std::string resolveGamePath(std::string_view gameDir, std::string_view name);

// The name relative to the game directory as the file system lists it, with forward slashes
// ("data/maps/x.ipl" for "DATA\MAPS\x.ipl"): each component that exists is spelt as its
// directory lists it, also where the system ignores letter case and would open the name as
// written; from the first component that does not exist on, as written. What a case-sensitive
// copy of the folder (a mod's repository) calls the file.
std::string nameAsListed(std::string_view gameDir, std::string_view name);

// The directory with the platform's separator at its end (unchanged when empty).
std::string withTrailingSeparator(std::string dir);

// A map file chosen in a file dialog, as a name in the games' form relative to the game
// directory ("DATA\MAPS\x.ipl"). Nothing when the file does not lie inside the game
// directory once "..", "." and symbolic links are resolved, or when its relative name holds
// a blank (the games split DAT lines at blanks).
std::optional<std::string> gameRelativeName(std::string_view gameDir, std::string_view chosenPath);
