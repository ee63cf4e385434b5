// The profile form on the shipped skin: what each mode shows, what OK and
// cancel store, the browse step's rules and the keys it swallows.
#include "shell/profile_form.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "model/text.h"
#include "shell/app_state.h"
#include "shell_fixture.h"
#include "win/win_util.h"
#include "win/window.h"

namespace vantrel::shell {
namespace {

using namespace vantrel::skin;

using testing::Click;
using testing::Script;

class ProfileFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::PrepareShellTest();
    SettingsRecord& live = LiveRecord();
    ResetRecord(live);
    ApplyFactoryDefaultsAll(live);
    live.CurrentProfile = 1;
    ToFixed(live.profiles[1].ProFileName, u"Night Raid");
    ToFixed(live.profiles[1].GameFile, u"C:\\Games\\Mine.exe");
    ToFixed(live.profiles[3].GameFile, u"C:\\Games\\Taken.exe");
    form_.slot = &ActiveSlot(live);
  }
  ProfileSlot& slot() { return LiveRecord().profiles[1]; }

  CDlgProfileMan form_;
};

TEST_F(ProfileFormTest, ModeZeroShowsTheSlotAndModeOneStartsEmpty) {
  for (int mode : {0, 1}) {
    CDlgProfileMan form;
    form.slot = &slot();
    form.mode = mode;
    std::wstring name, path;
    Script script({[&] {
      if (!form.hwnd()) return false;
      name = win::WindowText(form.name_field());
      path = win::WindowText(form.path_field());
      EXPECT_FALSE(IsWindowEnabled(form.path_field()));
      Click(form.hwnd(), form.m_btnCancel.hwnd());
      return true;
    }});
    EXPECT_EQ(form.RunModal(nullptr), IDCANCEL);
    EXPECT_EQ(name, mode == 0 ? L"Night Raid" : L"");
    EXPECT_EQ(path, mode == 0 ? L"C:\\Games\\Mine.exe" : L"");
  }
  EXPECT_EQ(FromFixed(slot().ProFileName), u"Night Raid") << "cancel stores nothing";
}

TEST_F(ProfileFormTest, OkStoresTheFieldsAsTypedWithinTheirLimits) {
  form_.mode = 1;
  Script script({[&] {
    if (!form_.hwnd()) return false;
    // The fields hold at most 249 and 499 characters, in the case typed.
    SetWindowTextW(form_.name_field(), (L"Mixed Case " + std::wstring(300, L'n')).c_str());
    form_.AcceptGameFile(L"C:\\Games\\Hero.exe", L"Hero");
    Click(form_.hwnd(), form_.m_btnOK.hwnd());
    return true;
  }});
  EXPECT_EQ(form_.RunModal(nullptr), IDOK);
  const std::u16string name = FromFixed(slot().ProFileName);
  EXPECT_EQ(name.size(), 249u);
  EXPECT_EQ(name.substr(0, 11), u"Mixed Case ");
  EXPECT_EQ(FromFixed(slot().GameFile), u"C:\\Games\\Hero.exe");
}

TEST_F(ProfileFormTest, BrowseRefusesAnotherProfilesGameAndNamesAnEmptyProfile) {
  form_.mode = 1;
  std::wstring after_taken, name_after_taken, after_free, name_after_free, name_kept;
  Script script({[&] {
    if (!form_.hwnd()) return false;
    form_.AcceptGameFile(L"c:\\games\\TAKEN.exe", L"TAKEN");
    after_taken = win::WindowText(form_.path_field());
    name_after_taken = win::WindowText(form_.name_field());
    form_.AcceptGameFile(L"C:\\Games\\Mine.exe", L"Mine");  // its own link is fine
    after_free = win::WindowText(form_.path_field());
    name_after_free = win::WindowText(form_.name_field());
    SetWindowTextW(form_.name_field(), L"Typed");
    form_.AcceptGameFile(L"C:\\Games\\Other.exe", L"Other");
    name_kept = win::WindowText(form_.name_field());
    Click(form_.hwnd(), form_.m_btnClose.hwnd());
    return true;
  }});
  EXPECT_EQ(form_.RunModal(nullptr), IDCANCEL);
  EXPECT_EQ(after_taken, L"");
  EXPECT_EQ(name_after_taken, L"");
  EXPECT_EQ(after_free, L"C:\\Games\\Mine.exe");
  EXPECT_EQ(name_after_free, L"Mine");
  EXPECT_EQ(name_kept, L"Typed");
}

TEST_F(ProfileFormTest, KeysThatWouldEndOrTypeAreSwallowedEvenInTheNameField) {
  Script script({[&] {
    if (!form_.hwnd()) return false;
    for (HWND target : {form_.hwnd(), form_.name_field(), form_.m_btnOK.hwnd()}) {
      for (UINT vk : {VK_RETURN, VK_ESCAPE, VK_SPACE}) {
        MSG msg{target, WM_KEYDOWN, vk, 0};
        EXPECT_TRUE(win::PreTranslateChain(msg)) << vk;
      }
    }
    MSG letter{form_.name_field(), WM_KEYDOWN, 'A', 0};
    EXPECT_FALSE(win::PreTranslateChain(letter));
    Click(form_.hwnd(), form_.m_btnCancel.hwnd());
    return true;
  }});
  EXPECT_EQ(form_.RunModal(nullptr), IDCANCEL);
}

}  // namespace
}  // namespace vantrel::shell
