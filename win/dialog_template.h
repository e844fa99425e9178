#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace ravelin::win {

// A dialog template built in memory: positions and sizes in dialog units, which the
// system scales with the dialog's font and the screen's DPI. The controls' order is their
// tab order.
class DialogTemplate {
 public:
  // The classes of the controls, as the template names them.
  static constexpr WORD kButton = 0x0080;
  static constexpr WORD kEdit = 0x0081;
  static constexpr WORD kStatic = 0x0082;
  static constexpr WORD kListBox = 0x0083;
  static constexpr WORD kComboBox = 0x0085;

  // A style with WS_CHILD makes a page inside another dialog, in its tab order.
  DialogTemplate(const std::wstring& caption, short width, short height, DWORD style);
  // A control of a predefined class (above), or of a registered one by name.
  void add(WORD predefinedClass, const std::wstring& text, int id, RECT units, DWORD style);
  void add(const std::wstring& className, const std::wstring& text, int id, RECT units,
           DWORD style);
  // The template, valid while this object lives and no control is added.
  const DLGTEMPLATE* get();

 private:
  void addItemHeader(int id, RECT units, DWORD style);
  void addText(const std::wstring& text);
  void alignTo(size_t bytes);

  std::vector<WORD> words_;
  WORD count_ = 0;
};

}  // namespace ravelin::win
