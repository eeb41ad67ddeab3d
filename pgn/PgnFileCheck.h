#pragma once

#include <string>

// The test the import makes before it lists a file: at least five of the first nineteen non-empty
// lines are tag lines (they begin with '['); a line that holds several tags ([Event "E"] [White "W"])
// counts once for each. Lines end with LF, CR LF or a CR alone, a UTF-8
// byte-order mark before the first line is passed over, and a line is read 511 bytes at a time
// (the rest of a longer line counts as the next line), so no line of any length is held whole.
// Returns 0 for a PGN file, 40119 ("I cannot open the file") or 40118 ("This is not a PGN file or it
// is corrupted.").
unsigned CheckPgnFileLines(const std::string& path);
