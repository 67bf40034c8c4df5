#pragma once
// Text files in the preview: a file that is valid UTF-8 is read as UTF-8,
// anything else as code page 932. What was read (encoding, line end, and
// whether the text shown gives back the file's bytes) decides how an
// overwrite writes it back.
#include <QString>

#include <string>
#include <string_view>

namespace tonbo::preview {

enum class TextEncoding { Utf8, Cp932 };

struct TextForm {
  TextEncoding encoding = TextEncoding::Utf8;
  std::string lineEnd = "\n";  // the first line end of the file; LF when none
  // The text shown, written back in this form, gives the file's bytes again.
  bool lossless = true;
};

struct DecodedText {
  QString text;  // lines joined with "\n"
  TextForm form;
};

DecodedText DecodeTextFile(std::string_view bytes);

// The text (lines joined with "\n") in the file's form. False when a
// character has no code in the encoding.
bool EncodeTextFile(const QString& text, const TextForm& form, std::string& bytes);

}  // namespace tonbo::preview
