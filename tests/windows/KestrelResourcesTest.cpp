// Kestrel.exe's compiled resources, read back from the executable as Windows reads them: the
// dialog template in language 2052, its two controls, the icon group, the manifest and the
// version block. The texts must be the ones the other front-ends show (KestrelResources.h).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "app/KestrelResources.h"
#include "common/text/Utf8.h"

namespace {

namespace ui = kestrel::ui;

const WORD kSimplifiedChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
// The resource types as wide ordinals (the build is not a UNICODE one).
const LPCWSTR kDialogType = MAKEINTRESOURCEW(5);
const LPCWSTR kIconGroupType = MAKEINTRESOURCEW(14);
const LPCWSTR kManifestType = MAKEINTRESOURCEW(24);

std::wstring Widen(const char* text) {
    return common::text::Utf8ToWide(text);
}

// Reads the variable parts of a dialog template: WORD-aligned fields, strings or ordinals.
class CTemplateReader {
  public:
    explicit CTemplateReader(const BYTE* data) : m_at(data) {}

    template <class T>
    T Take() {
        T value;
        std::memcpy(&value, m_at, sizeof(T));
        m_at += sizeof(T);
        return value;
    }
    // A string, or 0xFFFF and an ordinal (returned as "#<n>").
    std::wstring TakeStringOrOrdinal() {
        if (Peek() == 0xFFFF) {
            Take<WORD>();
            return L"#" + std::to_wstring(Take<WORD>());
        }
        return TakeString();
    }
    std::wstring TakeString() {
        std::wstring text;
        for (WORD ch = Take<WORD>(); ch != 0; ch = Take<WORD>()) {
            text += static_cast<wchar_t>(ch);
        }
        return text;
    }
    void AlignToDword(const BYTE* base) {
        while ((m_at - base) % 4 != 0) {
            ++m_at;
        }
    }

  private:
    WORD Peek() const {
        WORD value;
        std::memcpy(&value, m_at, sizeof(value));
        return value;
    }
    const BYTE* m_at;
};

struct CItem {
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::wstring windowClass;
    std::wstring title;
};

class KestrelResources : public ::testing::Test {
  protected:
    void SetUp() override {
        m_path = Widen(KESTREL_BINARY);
        m_module = ::LoadLibraryExW(m_path.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(m_module, nullptr);
    }
    void TearDown() override {
        if (m_module != nullptr) {
            ::FreeLibrary(m_module);
        }
    }
    const BYTE* Resource(LPCWSTR type, int id, WORD language, DWORD* size = nullptr) const {
        HRSRC found = ::FindResourceExW(m_module, type, MAKEINTRESOURCEW(id), language);
        if (found == nullptr) {
            return nullptr;
        }
        if (size != nullptr) {
            *size = ::SizeofResource(m_module, found);
        }
        return static_cast<const BYTE*>(::LockResource(::LoadResource(m_module, found)));
    }

    std::wstring m_path;
    HMODULE m_module = nullptr;
};

}  // namespace

TEST_F(KestrelResources, DialogOneHundredTwoMatchesTheProgramsTemplate) {
    const BYTE* data = Resource(kDialogType, kestrel::app::IDD_KESTREL_DIALOG, kSimplifiedChinese);
    ASSERT_NE(data, nullptr);
    CTemplateReader reader(data);
    EXPECT_EQ(reader.Take<WORD>(), 1);  // DLGTEMPLATEEX
    EXPECT_EQ(reader.Take<WORD>(), 0xFFFF);
    reader.Take<DWORD>();  // help id
    const DWORD exStyle = reader.Take<DWORD>();
    const DWORD style = reader.Take<DWORD>();
    const WORD count = reader.Take<WORD>();
    reader.Take<short>();
    reader.Take<short>();
    const short cx = reader.Take<short>();
    const short cy = reader.Take<short>();
    EXPECT_EQ(reader.TakeStringOrOrdinal(), L"");  // no menu
    EXPECT_EQ(reader.TakeStringOrOrdinal(), L"");  // the standard dialog class
    EXPECT_EQ(reader.TakeString(), kestrel::app::kCaption);
    const WORD points = reader.Take<WORD>();
    reader.Take<WORD>();
    reader.Take<BYTE>();
    reader.Take<BYTE>();
    EXPECT_EQ(reader.TakeString(), L"MS Shell Dlg");
    EXPECT_EQ(points, 8);

    const ui::CDialogTemplate& expected = kestrel::app::KestrelDialogTemplate();
    EXPECT_EQ(cx, expected.Width);
    EXPECT_EQ(cy, expected.Height);
    const DWORD wanted =
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE | DS_SETFONT;
    EXPECT_EQ(style & wanted, wanted);
    EXPECT_EQ(exStyle & WS_EX_APPWINDOW, static_cast<DWORD>(WS_EX_APPWINDOW));
    ASSERT_EQ(count, expected.Controls.size());

    for (const ui::CDialogControl& control : expected.Controls) {
        reader.AlignToDword(data);
        CItem item;
        reader.Take<DWORD>();  // help id
        reader.Take<DWORD>();  // extended style
        item.style = reader.Take<DWORD>();
        item.x = reader.Take<short>();
        item.y = reader.Take<short>();
        item.cx = reader.Take<short>();
        item.cy = reader.Take<short>();
        item.id = reader.Take<DWORD>();
        item.windowClass = reader.TakeStringOrOrdinal();
        item.title = reader.TakeStringOrOrdinal();
        const WORD extra = reader.Take<WORD>();
        for (WORD i = 0; i < extra; ++i) {
            reader.Take<BYTE>();
        }
        EXPECT_EQ(item.id, static_cast<DWORD>(control.Id));
        EXPECT_EQ(item.title, control.Text);
        EXPECT_EQ(item.x, control.X);
        EXPECT_EQ(item.y, control.Y);
        EXPECT_EQ(item.cx, control.Width);
        EXPECT_EQ(item.cy, control.Height);
        if (control.Kind == ui::EControlKind::PushButton) {
            EXPECT_EQ(item.windowClass, L"#128");  // BUTTON
            EXPECT_EQ(item.style & 0xF, static_cast<DWORD>(BS_DEFPUSHBUTTON));
            EXPECT_NE(item.style & WS_TABSTOP, 0u);
        } else {
            EXPECT_EQ(item.windowClass, L"#130");  // STATIC
            EXPECT_EQ(item.style & SS_TYPEMASK, static_cast<DWORD>(SS_CENTER));
        }
    }
}

TEST_F(KestrelResources, IconGroupManifestAndVersionBlock) {
    EXPECT_NE(Resource(kIconGroupType, kestrel::app::IDR_MAINFRAME, kSimplifiedChinese), nullptr);
    EXPECT_NE(::LoadIconW(m_module, MAKEINTRESOURCEW(kestrel::app::IDR_MAINFRAME)), nullptr);

    DWORD size = 0;
    const BYTE* manifest = Resource(kManifestType, 1, kSimplifiedChinese, &size);
    ASSERT_NE(manifest, nullptr);
    const std::string text(reinterpret_cast<const char*>(manifest), size);
    EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(text.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);

    DWORD ignored = 0;
    const DWORD versionSize = ::GetFileVersionInfoSizeW(m_path.c_str(), &ignored);
    ASSERT_GT(versionSize, 0u);
    std::string block(versionSize, '\0');
    ASSERT_TRUE(::GetFileVersionInfoW(m_path.c_str(), 0, versionSize, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    ASSERT_TRUE(
        ::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));  // 1.0
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(2, 1));  // .1.2
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    wchar_t* fileVersion = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\StringFileInfo\\080404b0\\FileVersion",
                                 reinterpret_cast<void**>(&fileVersion), &length));
    EXPECT_EQ(std::wstring(fileVersion), kestrel::app::kFileVersion);
}
