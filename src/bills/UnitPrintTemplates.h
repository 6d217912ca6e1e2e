#pragma once
// The print templates of a screen: the "*.rmf" files in its folder, program folder + "\打印模板\" +
// caption + "\" (separated by "/" on this system). The print service is handed a template as the text
// caption + "\" + file name, the same on every system.

#include <string>
#include <vector>

namespace jxc {

// The folder's path on this system.
std::string PrintTemplateFolder(const std::string& caption);
// The template file names (extension ".rmf" in any case), sorted by name; empty when the folder does not
// exist or cannot be read.
std::vector<std::string> PrintTemplateFiles(const std::string& caption);
// The template as the print service receives it: caption + "\" + file name.
std::string PrintTemplatePath(const std::string& caption, const std::string& fileName);

}  // namespace jxc
