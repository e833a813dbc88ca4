// Registry, threads, resources, JPEG pictures and message boxes.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

#include "MessageLog.h"
#include "classlib/Dialogs.h"
#include "classlib/Jpeg.h"
#include "classlib/Registry.h"
#include "classlib/Resources.h"
#include "classlib/Threads.h"

using namespace kv;

namespace {

const char kTestKey[] = "\\Software\\KvClassLibTest";

TEST(Registry, WritesReadsAndDeletesValuesUnderAKey) {
  TRegistry reg;
  reg.SetRootKey(HKEY_CURRENT_USER);
  reg.DeleteKey(kTestKey);
  EXPECT_FALSE(reg.OpenKey(kTestKey, false));
  ASSERT_TRUE(reg.OpenKey(kTestKey, true));
  reg.WriteString("Port", "COM3");
  reg.WriteString("名字", "温度");
  reg.WriteInteger("Baud", 115200);
  EXPECT_EQ(reg.ReadString("Port"), "COM3");
  EXPECT_EQ(reg.ReadString("名字"), "温度");
  EXPECT_EQ(reg.ReadInteger("Baud"), 115200);
  EXPECT_EQ(reg.ReadString("Missing"), "");
  EXPECT_THROW(reg.ReadInteger("Port"), ERegistryException);
  EXPECT_EQ(reg.GetDataType("Baud"), rdInteger);
  auto names = reg.GetValueNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Baud", "Port", "名字"}));
  EXPECT_TRUE(reg.DeleteValue("Port"));
  EXPECT_FALSE(reg.ValueExists("Port"));
  reg.CloseKey();
  EXPECT_TRUE(reg.KeyExists(kTestKey));
  EXPECT_TRUE(reg.DeleteKey(kTestKey));
  EXPECT_FALSE(reg.KeyExists(kTestKey));
}

TEST(Registry, WritingWithoutAnOpenKeyRaises) {
  TRegistry reg(KEY_READ);
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_FALSE(reg.OpenKey("\\No\\Such\\Key\\Anywhere", false));
  EXPECT_THROW(reg.WriteString("x", "y"), ERegistryException);
}

class TCounter : public TThread {
 public:
  std::vector<DWORD> syncThreads;
  bool fail = false;

 protected:
  void Execute() override {
    for (int i = 0; i < 3 && !Terminated(); ++i)
      Synchronize([this] { syncThreads.push_back(GetCurrentThreadId()); });
    SetReturnValue(42);
    if (fail) throw Exception("worker failed");
  }
};

TEST(Thread, SynchronizeRunsInTheGuiThreadAndWaitForReturnsTheResult) {
  TCounter t;
  bool terminated = false;
  t.OnTerminate = [&](TObject* sender) {
    EXPECT_EQ(sender, &t);
    terminated = true;
  };
  t.Start();
  EXPECT_EQ(t.WaitFor(), 42);
  EXPECT_EQ(t.syncThreads, std::vector<DWORD>(3, GetCurrentThreadId()));
  EXPECT_TRUE(terminated);
  EXPECT_TRUE(t.Finished());
}

TEST(Thread, ExceptionEndingTheThreadReachesTheApplication) {
  std::vector<std::string> seen;
  Application->OnException = [&](TObject*, const std::exception& e) { seen.push_back(e.what()); };
  {
    TCounter t;
    t.fail = true;
    t.Start();
    t.WaitFor();
    EXPECT_TRUE(t.FatalException() != nullptr);
  }
  Application->OnException = nullptr;
  EXPECT_EQ(seen, std::vector<std::string>{"worker failed"});
}

TEST(Thread, FreeOnTerminateThreadFreesItselfAfterOnTerminate) {
  struct TSelfFreeing : TThread {
    bool* freed;
    explicit TSelfFreeing(bool* f) : freed(f) {}
    ~TSelfFreeing() override { *freed = true; }
    void Execute() override { Sleep(5); }
  };
  bool freed = false;
  bool told = false;
  auto thread = std::make_unique<TSelfFreeing>(&freed);
  thread->OnTerminate = [&](TObject*) { told = !freed; };
  thread->FreeOnTerminate = true;
  thread.release()->Start();  // from here on the thread owns itself
  EXPECT_TRUE(kvtest::PumpUntil([&] { return freed; }));
  EXPECT_TRUE(told) << "OnTerminate runs before the object goes";
}

TEST(Resources, ProgramResourcesReadBackAsStreamsStringsAndBitmaps) {
  TResourceStream data(nullptr, "KVDATA", RT_RCDATA_W);
  EXPECT_EQ(data.Size(), 7);
  EXPECT_EQ(data.ReadAll(), "kv-data");
  data.SetPosition(3);
  char buf[8] = {};
  EXPECT_EQ(data.Read(buf, 100), 4);
  EXPECT_STREQ(buf, "data");
  EXPECT_THROW(data.Write("x", 1), EStreamError);
  EXPECT_TRUE(ResourceExists(nullptr, "KVDATA", RT_RCDATA_W));

  EXPECT_EQ(LoadStr(100), "Temperature");
  EXPECT_EQ(LoadStr(101), "温度");

  TBitmapImage image;
  image.LoadFromResourceName(GetModuleHandleW(nullptr), "KVBMP");
  ASSERT_EQ(image.Width(), 2);
  ASSERT_EQ(image.Height(), 2);
  const uint8_t* top = image.Bitmap().ScanLine(0);
  const uint8_t* bottom = image.Bitmap().ScanLine(1);
  EXPECT_EQ(top[1], 255) << "top left is green";
  EXPECT_EQ(top[3], 255) << "top right is white";
  EXPECT_EQ(bottom[2], 255) << "bottom left is red";
  EXPECT_EQ(bottom[3], 255) << "bottom right is blue";
  EXPECT_EQ(bottom[5], 0);
}

TEST(Resources, MissingResourcesRaiseOrReadEmpty) {
  EXPECT_THROW(TResourceStream(nullptr, "NOSUCHRESOURCE", RT_RCDATA_W), EResNotFound);
  EXPECT_FALSE(ResourceExists(nullptr, "NOSUCHRESOURCE", RT_RCDATA_W));
  EXPECT_EQ(LoadStr(65000), "");
  EXPECT_FALSE(PlayResourceSound("NOSUCHSOUND", false));
}

// A small JPEG made with the same library, for the decoder to read back.
std::vector<uint8_t> EncodeJpeg(int w, int h, const uint8_t rgb[3], bool gray) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = static_cast<JDIMENSION>(w);
  c.image_height = static_cast<JDIMENSION>(h);
  c.input_components = gray ? 1 : 3;
  c.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 95, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(w) * (gray ? 1 : 3));
  for (int x = 0; x < w; ++x)
    for (int k = 0; k < (gray ? 1 : 3); ++k)
      row[static_cast<size_t>(x * (gray ? 1 : 3) + k)] = rgb[k];
  while (c.next_scanline < c.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  std::vector<uint8_t> data(out, out + size);
  jpeg_destroy_compress(&c);
  std::free(out);
  return data;
}

TEST(JPEGImage, DecodesColourAndGreyFilesToBgrPixels) {
  const uint8_t orange[3] = {250, 120, 10};
  const auto file = EncodeJpeg(16, 8, orange, false);
  TJPEGImage image;
  image.LoadFromMemory(file.data(), file.size());
  ASSERT_EQ(image.Width(), 16);
  ASSERT_EQ(image.Height(), 8);
  const uint8_t* px = image.Bitmap().ScanLine(4) + 8 * 3;
  EXPECT_NEAR(px[2], 250, 6);  // R
  EXPECT_NEAR(px[1], 120, 6);  // G
  EXPECT_NEAR(px[0], 10, 6);   // B

  const uint8_t grey[3] = {90, 0, 0};
  const auto greyFile = EncodeJpeg(8, 8, grey, true);
  image.LoadFromMemory(greyFile.data(), greyFile.size());
  const uint8_t* g = image.Bitmap().ScanLine(0);
  EXPECT_NEAR(g[0], 90, 3);
  EXPECT_EQ(g[0], g[2]);
}

TEST(JPEGImage, DamagedFileRaisesAndLeavesThePictureEmpty) {
  const uint8_t blue[3] = {0, 0, 255};
  auto file = EncodeJpeg(16, 16, blue, false);
  TJPEGImage image;
  image.LoadFromMemory(file.data(), file.size());
  const std::vector<uint8_t> cut(file.begin(), file.begin() + 20);
  EXPECT_THROW(image.LoadFromMemory(cut.data(), cut.size()), EInvalidGraphic);
  EXPECT_TRUE(image.Empty());
  EXPECT_THROW(image.LoadFromMemory(nullptr, 0), EInvalidGraphic);
  const std::vector<uint8_t> junk(100, 0x42);
  EXPECT_THROW(image.LoadFromMemory(junk.data(), junk.size()), EInvalidGraphic);
}

TEST(JPEGImage, IsTheFormatOfJpgFilesInPictures) {
  const auto graphic = TPicture::CreateForExtension(".JPG");
  EXPECT_NE(dynamic_cast<TJPEGImage*>(graphic.get()), nullptr);
  EXPECT_NE(dynamic_cast<TJPEGImage*>(TPicture::CreateForExtension(".jpeg").get()), nullptr);
}

// Closes the next message box as soon as it is created, noting its text.
struct TBoxCloser {
  static inline std::wstring text;
  static inline HHOOK hook = nullptr;
  static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
      HWND box = reinterpret_cast<HWND>(wParam);
      wchar_t cls[16] = {};
      GetClassNameW(box, cls, 16);
      if (std::wstring(cls) == L"#32770") {
        wchar_t buf[256] = {};
        GetDlgItemTextW(box, 0xFFFF, buf, 256);
        text = buf;
        PostMessageW(box, WM_COMMAND, IDNO, 0);
      }
    }
    return CallNextHookEx(hook, code, wParam, lParam);
  }
  TBoxCloser() { hook = SetWindowsHookExW(WH_CBT, Proc, nullptr, GetCurrentThreadId()); }
  ~TBoxCloser() { UnhookWindowsHookEx(hook); }
};

TEST(MessageBoxes, ExceptionIsShownWhileThereIsNoMainForm) {
  TBoxCloser closer;
  TBoxCloser::text.clear();
  ASSERT_EQ(Application->MainForm(), nullptr);
  try {
    throw Exception("Port not found");
  } catch (...) {
    Application->HandleException(nullptr);
  }
  EXPECT_EQ(TBoxCloser::text, L"Port not found.");
}

TEST(MessageBoxes, ExceptionIsSwallowedOnceTheMainFormExists) {
  TBoxCloser closer;
  TBoxCloser::text.clear();
  Owned<TForm> main = CreateOwned<TForm>();
  Application->SetMainForm(main.get());
  try {
    throw Exception("quiet");
  } catch (...) {
    Application->HandleException(nullptr);
  }
  Application->SetMainForm(nullptr);
  EXPECT_EQ(TBoxCloser::text, L"");
}

TEST(MessageBoxes, MessageDlgReturnsTheButtonAsModalResult) {
  TBoxCloser closer;
  EXPECT_EQ(MessageDlg("Save?", mtConfirmation, mbYesNo), mrNo);
  EXPECT_EQ(TBoxCloser::text, L"Save?");
}

}  // namespace
