#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace ravelin::win {

// Draws the lines on a page of dpi dots per inch and pageHeight dots, from the top left
// down in the script's font, within the margins; when a page is full newPage is called and
// the next line starts at the top again. Returns the number of pages drawn.
int drawScriptPages(HDC dc, UINT dpi, int pageHeight, const std::vector<std::string>& lines,
                    const std::function<void()>& newPage);

// Asks for a printer in the system's print dialog and prints the lines there as the
// document title. False when the user cancelled; throws std::runtime_error when no printer
// can be used or the printer refuses the document.
bool printScript(HWND owner, const std::string& title, const std::vector<std::string>& lines);

}  // namespace ravelin::win
