#include "fixture.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace e2e {

namespace {

fs::path TempFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, buffer);
  return buffer;
}

}  // namespace

fs::path PatcherExe() {
  // CMake hands over the build's own spelling of the path: a Unix one when cross-building,
  // which Wine shows as drive Z:.
  std::wstring path = L"" PATCHER_EXE;
  if (!path.empty() && path.front() == L'/') {
    std::replace(path.begin(), path.end(), L'/', L'\\');
    path = L"Z:" + path;
  }
  return path;
}

Bytes ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& file, const Bytes& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << "cannot write " << file.string();
}

std::size_t LineCount(const std::wstring& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), L'\n'));
}

void CleanDriveF() {
  std::error_code ignored;
  for (const char* name :
       {"t_mons0.tbl", "t_mons100.tbl", "t_mons.tbl", "drevon2.txt", "quarnel2-patcher.exe"}) {
    fs::remove(kDriveF / name, ignored);
  }
}

void PatcherTest::SetUp() {
  static int counter = 0;
  folder_ = TempFolder() / (L"补丁测试_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                            std::to_wstring(++counter));
  fs::remove_all(folder_);
  fs::create_directories(folder_);
  set_ = demo::MakeDemoSet();
  demo::WriteDemoSet(folder_, set_);
  // The raise needs only the list and the two tables beside the tool.
  fs::remove(Beside("t_mons100.tbl"));

  ASSERT_TRUE(fs::is_directory(kDriveF)) << "drive F: is not mapped (scripts/wine-prefix.sh)";
  CleanDriveF();
  WriteReferenceTables(set_);
  StartTool(folder_);
}

void PatcherTest::WriteReferenceTables(const demo::DemoSet& set) const {
  WriteBytes(kReferenceBase, set.base);
  WriteBytes(kReferenceRaised, set.raised);
}

void PatcherTest::StartTool(const fs::path& folder) {
  const fs::path exe = folder / L"quarnel2-patcher.exe";
  fs::copy_file(PatcherExe(), exe, fs::copy_options::overwrite_existing);
  // Started from elsewhere, so that the tool must find its files by its own location.
  process_.reset();
  process_ = Process::Start(exe, TempFolder());
  ASSERT_TRUE(process_) << "cannot start " << exe.string();
  window_ = PatcherWindow::Find(process_->id(), kPatience);
  ASSERT_TRUE(window_) << "the window did not appear";
}

void PatcherTest::TearDown() {
  if (window_ && IsWindow(window_->form())) {
    // A box left open by a failed check would keep the window from closing.
    if (auto box = window_->WaitForMessageBox(milliseconds(0))) PressOk(*box);
    PostMessageW(window_->form(), WM_CLOSE, 0, 0);
  }
  if (process_ && !process_->WaitForExit(milliseconds(10'000))) process_->Kill();
  process_.reset();
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
  CleanDriveF();
}

}  // namespace e2e
