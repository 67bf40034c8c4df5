#pragma once
// The sample commands of the replace dialog: the text file
// tools/re_sample.txt in the program folder, one sample a line, a
// description, a "," and the command.
#include <string>
#include <vector>

namespace tonbo {

// tools/re_sample.txt under a program folder (disk bytes, ending in "/").
std::string ReplaceSamplePath(const std::string& programDirDisk);

// The sample lines in code page 932; false (lines untouched) when the file
// cannot be read. The shipped file is UTF-8 (a leading byte order mark is
// skipped); a file that is not UTF-8 is taken as code page 932 as it is, so
// a sample file saved by an older editor still reads.
bool LoadReplaceSamples(const std::string& diskPath, std::vector<std::string>& lines);

// The command of a sample line: what follows the first ",", without spaces
// and control characters at either end; "" when the line has no ",".
std::string SampleCommand(std::string line);

}  // namespace tonbo
