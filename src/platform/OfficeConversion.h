#pragma once
// LibreOffice run headless to turn files into other formats: the print preview makes its PDF this way, and
// tests open exported files with it as a spreadsheet program would. Every run is bounded in time (a run
// past its limit is ended together with everything it started) and uses a profile folder of this
// process's own, made on first use and removed when the process ends, so that a LibreOffice the user has
// open is neither used nor disturbed and two processes never share one.

#include <string>
#include <vector>

namespace jxc {

// soffice (or libreoffice) on PATH; "" when LibreOffice is not installed.
std::string FindOfficeProgram();

struct OfficeConversion {
  std::string Target;        // the format to write, as LibreOffice names it ("pdf", "xlsx")
  std::string ImportFilter;  // how to read the files ("HTML (StarCalc)"); empty: by their content
  int TimeoutSeconds = 600;
};

// Converts the files, in one run of the program, into folder: each under its own name with the target's
// extension (an earlier file of that name is removed first). True when the run ended in time and every converted file exists.
bool ConvertWithOffice(const std::string& program, const std::vector<std::string>& files, const std::string& folder,
                       const OfficeConversion& how);

// Where ConvertWithOffice puts a file's conversion.
std::string ConvertedFileName(const std::string& file, const std::string& folder, const std::string& target);

}  // namespace jxc
