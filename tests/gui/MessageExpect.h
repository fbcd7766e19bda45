// ExpectMessage: answers one message box inside wxTEST_DIALOG and checks it is
// the program's own: the exact text, the caption "brenvoxgui" and the style
// (an OK box: OK and no icon; a question: Yes/No with the exclamation icon).
//   wxTEST_DIALOG(Click(ID_WRITE_ISO), ExpectMessage(question, wxID_NO));
#pragma once

#include <gtest/gtest.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>

#include <string>

class ExpectMessage : public wxExpectModalBase<wxMessageDialog, ExpectMessage> {
 public:
  // answer: wxID_OK for an OK box, wxID_YES or wxID_NO for a question.
  explicit ExpectMessage(const wxString& text, int answer = wxID_OK)
      : m_text(text), m_answer(answer) {}
  explicit ExpectMessage(const std::string& utf8Text, int answer = wxID_OK)
      : m_text(wxString::FromUTF8(utf8Text)), m_answer(answer) {}
  explicit ExpectMessage(const char* utf8Text, int answer = wxID_OK)
      : m_text(wxString::FromUTF8(utf8Text)), m_answer(answer) {}

 protected:
  int OnInvoked(wxMessageDialog* box) const override {
    EXPECT_EQ(box->GetMessage().utf8_string(), m_text.utf8_string());
    EXPECT_EQ(box->GetCaption().utf8_string(), "brenvoxgui");
    const long style = box->GetMessageDialogStyle();
    const long icons = style & (wxICON_EXCLAMATION | wxICON_HAND | wxICON_QUESTION |
                                wxICON_INFORMATION | wxICON_AUTH_NEEDED);
    if (m_answer == wxID_OK) {
      EXPECT_TRUE(style & wxOK) << "an OK box";
      EXPECT_FALSE(style & (wxYES_NO | wxCANCEL)) << "an OK box has only OK";
      EXPECT_EQ(icons, 0) << "an OK box has no icon";
    } else {
      EXPECT_EQ(style & wxYES_NO, wxYES_NO) << "a question has Yes and No";
      EXPECT_FALSE(style & wxCANCEL) << "a question has no Cancel";
      EXPECT_EQ(icons, wxICON_EXCLAMATION) << "a question has the exclamation icon";
    }
    return m_answer;
  }

  wxString GetDefaultDescription() const override {
    return wxT("message box \"") + m_text + wxT("\"");
  }

 private:
  wxString m_text;
  int m_answer;
};
