// The resources of both built programs, read the way Windows reads them: loaded as
// data files, enumerated by type, name and language, and decoded.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "layout.h"
#include "machine.h"

namespace {

const WORD Japanese = 0x0411;
const WORD English = 0x0409;

// Resource types and names as EnumResource* hands them over: "#n" for numbers.
std::string IdText(LPCSTR id)
{
    if (IS_INTRESOURCE(id))
        return "#" + std::to_string(reinterpret_cast<ULONG_PTR>(id));
    return id;
}

std::vector<std::string> Collect(HMODULE module, const std::string* type)
{
    std::vector<std::string> ids;
    auto add = [](HMODULE, LPCSTR, LPSTR id, LONG_PTR context) WINAPI -> BOOL {
        reinterpret_cast<std::vector<std::string>*>(context)->push_back(IdText(id));
        return TRUE;
    };
    auto addType = [](HMODULE, LPSTR id, LONG_PTR context) WINAPI -> BOOL {
        reinterpret_cast<std::vector<std::string>*>(context)->push_back(IdText(id));
        return TRUE;
    };
    if (type)
        EnumResourceNamesA(module, type->c_str(), add, reinterpret_cast<LONG_PTR>(&ids));
    else
        EnumResourceTypesA(module, addType, reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

struct Entry {
    std::string type;  // "#n" or the custom type's name
    std::string name;
    WORD language;
    DWORD size;
    bool operator==(const Entry& o) const
    {
        return type == o.type && name == o.name && language == o.language && size == o.size;
    }
    bool operator<(const Entry& o) const
    {
        return std::tie(type, name, language) < std::tie(o.type, o.name, o.language);
    }
};

std::ostream& operator<<(std::ostream& out, const Entry& e)
{
    char language[8];
    wsprintfA(language, "%04X", e.language);
    return out << e.type << " " << e.name << " " << language << " " << e.size;
}

// Every resource of the module with its size, sorted.
std::vector<Entry> Catalogue(const std::string& path)
{
    std::vector<Entry> entries;
    HMODULE module = LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return entries;
    for (const std::string& type : Collect(module, nullptr)) {
        for (const std::string& name : Collect(module, &type)) {
            std::vector<WORD> languages;
            EnumResourceLanguagesA(
                module, type.c_str(), name.c_str(),
                [](HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR context) WINAPI -> BOOL {
                    reinterpret_cast<std::vector<WORD>*>(context)->push_back(language);
                    return TRUE;
                },
                reinterpret_cast<LONG_PTR>(&languages));
            for (WORD language : languages) {
                HRSRC found = FindResourceExA(module, type.c_str(), name.c_str(), language);
                entries.push_back({type, name, language, SizeofResource(module, found)});
            }
        }
    }
    FreeLibrary(module);
    std::sort(entries.begin(), entries.end());
    return entries;
}

// Entries whose size depends on texts chosen for this package carry size 0 in
// the expectations and are compared by name and language alone.
std::vector<Entry> WithoutFreeSizes(std::vector<Entry> entries, const std::vector<Entry>& expected)
{
    for (Entry& entry : entries) {
        for (const Entry& want : expected) {
            if (want.type == entry.type && want.name == entry.name && want.size == 0)
                entry.size = 0;
        }
    }
    return entries;
}

std::vector<Entry> SharedEntries()
{
    return {
        {"#14", "#128", English, 62},   {"#3", "#1", English, 296},  {"#3", "#2", English, 1384},
        {"#3", "#3", English, 744},     {"#3", "#4", English, 2216}, {"#16", "#1", Japanese, 0},
        {"#24", "#1", Japanese, 669},
    };
}

TEST(ResourceCatalogue, UninstallerHoldsExactlyItsIconVersionAndManifest)
{
    std::vector<Entry> expected = SharedEntries();
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, WithoutFreeSizes(Catalogue(BuiltUninstaller()), expected));
}

TEST(ResourceCatalogue, InstallerHoldsExactlyItsPackage)
{
    DWORD uninstallerSize = static_cast<DWORD>(ReadFileBytes(BuiltUninstaller()).size());
    DWORD serverSize = static_cast<DWORD>(ReadFileBytes(BuiltServer()).size());
    std::vector<Entry> expected = SharedEntries();
    std::vector<Entry> own = {
        {"APPL", "#129", Japanese, serverSize}, {"APPL", "#130", Japanese, uninstallerSize},
        {"MPEG", "#136", Japanese, 3072},       {"TEXT", "#132", Japanese, 4345},
        {"#2", "#133", Japanese, 76842},        {"#5", "#128", Japanese, 0},
        {"#5", "#131", Japanese, 0},
    };
    expected.insert(expected.end(), own.begin(), own.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, WithoutFreeSizes(Catalogue(BuiltInstaller()), expected));
}

TEST(ResourceCatalogue, InstallerCarriesTheBuiltProgramsUnchanged)
{
    EXPECT_EQ(ReadFileBytes(BuiltUninstaller()), ResourceBytes(BuiltInstaller(), 130, "APPL"));
    EXPECT_EQ(ReadFileBytes(BuiltServer()), ResourceBytes(BuiltInstaller(), 129, "APPL"));
}

TEST(ResourceCatalogue, IconsAndManifestAreTheSameInBothPrograms)
{
    struct {
        WORD id;
        LPCSTR type;
    } shared[] = {{128, RT_GROUP_ICON}, {1, RT_ICON},     {2, RT_ICON},
                  {3, RT_ICON},         {4, RT_ICON},     {1, RT_MANIFEST}};
    for (const auto& r : shared) {
        std::string installer = ResourceBytes(BuiltInstaller(), r.id, r.type);
        EXPECT_FALSE(installer.empty()) << r.id;
        EXPECT_EQ(installer, ResourceBytes(BuiltUninstaller(), r.id, r.type)) << r.id;
    }
}

// --- Manifest ---

TEST(Manifest, IsPlainAsciiWithCrLfAndNoExecutionLevel)
{
    std::string manifest = ResourceBytes(BuiltUninstaller(), 1, RT_MANIFEST);
    ASSERT_EQ(669u, manifest.size());
    EXPECT_NE("\xEF\xBB\xBF", manifest.substr(0, 3));
    for (size_t i = 0; i < manifest.size(); ++i) {
        ASSERT_LT(static_cast<unsigned char>(manifest[i]), 0x80u) << "at " << i;
        if (manifest[i] == '\n') {
            ASSERT_EQ('\r', manifest[i - 1]) << "bare line feed at " << i;
        }
    }
    const char* inOrder[] = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>",
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">",
        "version=\"1.0.0.0\"", "processorArchitecture=\"X86\"",
        "name=\"Brennmoor.ProductName.Quorvane\"", "type=\"win32\"",
        "<description>hogehoge</description>", "<dependency>", "<dependentAssembly>",
        "type=\"win32\"", "name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
        "processorArchitecture=\"X86\"", "publicKeyToken=\"6595b64144ccf1df\"",
        "language=\"*\"", "</assembly>"};
    size_t at = 0;
    for (const char* piece : inOrder) {
        size_t found = manifest.find(piece, at);
        ASSERT_NE(std::string::npos, found) << piece << " missing or out of order";
        at = found + strlen(piece);
    }
    EXPECT_EQ(std::string::npos, manifest.find("trustInfo"));
    EXPECT_EQ(std::string::npos, manifest.find("compatibility"));
}

// --- Version records ---

struct VersionCase {
    const char* program;
    WORD fourth;
    const char* name;
    const char* text;
};

void PrintTo(const VersionCase& c, std::ostream* out)
{
    *out << c.name;
}

class VersionRecordTest : public ::testing::TestWithParam<VersionCase> {};

std::string ProgramPath(const char* program)
{
    return std::string(program) == "installer" ? BuiltInstaller() : BuiltUninstaller();
}

TEST_P(VersionRecordTest, ReadsBackThroughTheVersionApi)
{
    const VersionCase& c = GetParam();
    std::string path = ProgramPath(c.program);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, data.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", (void**)&fixed, &length));
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    EXPECT_EQ(0x00010000u, fixed->dwStrucVersion);
    EXPECT_EQ(0x00010002u, fixed->dwFileVersionMS);
    EXPECT_EQ(static_cast<DWORD>(c.fourth), fixed->dwFileVersionLS);
    EXPECT_EQ(0x00010002u, fixed->dwProductVersionMS);
    EXPECT_EQ(static_cast<DWORD>(c.fourth), fixed->dwProductVersionLS);
    EXPECT_EQ(0x3Fu, fixed->dwFileFlagsMask);
    EXPECT_EQ(0u, fixed->dwFileFlags);
    EXPECT_EQ(0x00040004u, fixed->dwFileOS);
    EXPECT_EQ(1u, fixed->dwFileType);
    EXPECT_EQ(0u, fixed->dwFileSubtype);
    EXPECT_EQ(0u, fixed->dwFileDateMS);
    EXPECT_EQ(0u, fixed->dwFileDateLS);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", (void**)&translation,
                               &length));
    ASSERT_EQ(4u, length);
    EXPECT_EQ(0x0411, translation[0]);
    EXPECT_EQ(1200, translation[1]);

    std::map<std::string, std::string> expected = {
        {"Comments", ""},          {"FileDescription", c.name}, {"FileVersion", c.text},
        {"InternalName", c.name},  {"LegalTrademarks", ""},     {"OriginalFilename", ""},
        {"PrivateBuild", ""},      {"ProductName", c.name},     {"ProductVersion", c.text},
        {"SpecialBuild", ""}};
    for (const auto& key : expected) {
        char* value = nullptr;
        std::string query = "\\StringFileInfo\\041104b0\\" + key.first;
        ASSERT_TRUE(VerQueryValueA(data.data(), query.c_str(), (void**)&value, &length))
            << key.first;
        EXPECT_EQ(key.second, std::string(value)) << key.first;
    }
    for (const char* owned : {"CompanyName", "LegalCopyright"}) {
        char* value = nullptr;
        std::string query = std::string("\\StringFileInfo\\041104b0\\") + owned;
        ASSERT_TRUE(VerQueryValueA(data.data(), query.c_str(), (void**)&value, &length));
        EXPECT_GT(strlen(value), 0u) << owned;
    }
}

// The keys stand in a fixed order in the record; the version API cannot show
// order, so read the key names straight out of the UTF-16 string block.
TEST_P(VersionRecordTest, StringBlockHoldsTheTwelveKeysInOrder)
{
    std::string raw = ResourceBytes(ProgramPath(GetParam().program), 1, RT_VERSION);
    std::string block = "041104b0";
    std::wstring wide(reinterpret_cast<const wchar_t*>(raw.data()), raw.size() / 2);
    const wchar_t* keys[] = {L"Comments",       L"CompanyName",     L"FileDescription",
                             L"FileVersion",    L"InternalName",    L"LegalCopyright",
                             L"LegalTrademarks", L"OriginalFilename", L"PrivateBuild",
                             L"ProductName",    L"ProductVersion",  L"SpecialBuild"};
    size_t at = wide.find(L"041104b0");
    ASSERT_NE(std::wstring::npos, at);
    EXPECT_EQ(std::wstring::npos, wide.find(L"StringFileInfo", at)) << "a second string table";
    for (const wchar_t* key : keys) {
        size_t found = wide.find(std::wstring(key) + L'\0', at);
        ASSERT_NE(std::wstring::npos, found) << "key out of order";
        at = found;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Programs, VersionRecordTest,
    ::testing::Values(VersionCase{"uninstaller", 5, "Quorvane Uninstaller", "1, 2, 0, 5"},
                      VersionCase{"installer", 6, "Quorvane Installer", "1, 2, 0, 6"}),
    [](const ::testing::TestParamInfo<VersionCase>& info) {
        return std::string(info.param.program);
    });

// --- Dialog templates ---

std::wstring Wide(const char* cp932)
{
    wchar_t text[1024];
    int length = MultiByteToWideChar(932, 0, cp932, -1, text, 1024);
    return std::wstring(text, length > 0 ? length - 1 : 0);
}

// Reads a dialog template the way the dialog manager does.
class TemplateReader {
public:
    explicit TemplateReader(const std::string& bytes) : bytes_(bytes) {}
    WORD Word() { return Take<WORD>(); }
    DWORD Dword() { return Take<DWORD>(); }
    short Short() { return static_cast<short>(Take<WORD>()); }
    BYTE Byte() { return Take<BYTE>(); }
    std::wstring Text()
    {
        std::wstring text;
        for (WORD c = Word(); c; c = Word())
            text += static_cast<wchar_t>(c);
        return text;
    }
    // A name or an ordinal: "#n" for an ordinal.
    std::wstring NameOrOrdinal()
    {
        WORD first = Peek();
        if (first == 0xFFFF) {
            Word();
            return L"#" + std::to_wstring(Word());
        }
        return Text();
    }
    void AlignDword() { at_ = (at_ + 3) & ~size_t(3); }
    bool AtEnd() const { return at_ >= bytes_.size(); }

private:
    template <class T>
    T Take()
    {
        T value = T();
        if (at_ + sizeof(T) <= bytes_.size())
            memcpy(&value, bytes_.data() + at_, sizeof(T));
        at_ += sizeof(T);
        return value;
    }
    WORD Peek()
    {
        WORD value = 0;
        if (at_ + 2 <= bytes_.size())
            memcpy(&value, bytes_.data() + at_, 2);
        return value;
    }
    const std::string& bytes_;
    size_t at_ = 0;
};

struct Control {
    std::wstring className;
    int id;
    std::wstring text;
    short x, y, cx, cy;
    DWORD style, exStyle;
    bool operator==(const Control& o) const
    {
        return className == o.className && id == o.id && text == o.text && x == o.x &&
               y == o.y && cx == o.cx && cy == o.cy && style == o.style && exStyle == o.exStyle;
    }
};

std::ostream& operator<<(std::ostream& out, const Control& c)
{
    char numbers[128];
    wsprintfA(numbers, " id %d at %d,%d %dx%d style %08lX ex %08lX", c.id, c.x, c.y, c.cx, c.cy,
              c.style, c.exStyle);
    char text[512];
    WideCharToMultiByte(932, 0, (c.className + L" \"" + c.text + L"\"").c_str(), -1, text,
                        sizeof text, NULL, NULL);
    return out << text << numbers;
}

const DWORD DialogStyle = 0x80C808C0;
const std::wstring Button = L"#128", Edit = L"#129", Static = L"#130";

TEST(DialogTemplate, WelcomePageIsAClassicTemplateWithItsFourControls)
{
    std::string bytes = ResourceBytes(BuiltInstaller(), 128, RT_DIALOG);
    TemplateReader t(bytes);
    EXPECT_EQ(DialogStyle, t.Dword());
    EXPECT_EQ(0u, t.Dword());
    WORD count = t.Word();
    EXPECT_EQ(0, t.Short());
    EXPECT_EQ(0, t.Short());
    EXPECT_EQ(311, t.Short());
    EXPECT_EQ(127, t.Short());
    EXPECT_EQ(L"", t.NameOrOrdinal()) << "menu";
    EXPECT_EQ(L"", t.NameOrOrdinal()) << "class";
    EXPECT_EQ(Wide("Quorvane インストーラ/アップデータ"), t.Text());
    EXPECT_EQ(9, t.Word());
    EXPECT_EQ(Wide("ＭＳ Ｐゴシック"), t.Text());

    std::vector<Control> controls;
    for (WORD i = 0; i < count; ++i) {
        t.AlignDword();
        Control c;
        c.style = t.Dword();
        c.exStyle = t.Dword();
        c.x = t.Short();
        c.y = t.Short();
        c.cx = t.Short();
        c.cy = t.Short();
        c.id = t.Short();
        c.className = t.NameOrOrdinal();
        c.text = t.NameOrOrdinal();
        EXPECT_EQ(0, t.Word()) << "creation data";
        controls.push_back(c);
    }
    std::wstring welcome =
        Wide("「Quorvane V.1.2.0.6 β for Vista」をダウンロードして頂きまして、ありがとうございました。\n\n"
             "「次へ」をクリックし、インストールを開始してください。\n\n\n");
    std::vector<Control> expected = {
        {Button, 1, Wide("次へ"), 250, 101, 50, 16, 0x50010001, 0},
        {Button, 2, Wide("キャンセル"), 191, 101, 50, 16, 0x50010000, 0},
        {Static, -1, L"", 143, 10, 157, 78, 0x50020000, 0},
        {Static, -1, L"#133", 10, 10, 126, 107, 0x5000080E, 0},
    };
    ASSERT_EQ(expected.size(), controls.size());
    // The last three lines of the welcome text are the maker's own; the first five
    // and the line structure are fixed.
    std::wstring shown = controls[2].text;
    EXPECT_EQ(welcome, shown.substr(0, welcome.size()));
    EXPECT_EQ(7, std::count(shown.begin(), shown.end(), L'\n'));
    EXPECT_EQ(std::wstring::npos, shown.find(L'\r'));
    EXPECT_NE(L'\n', shown.back());
    controls[2].text = L"";
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(expected[i], controls[i]) << "control " << i + 1;
}

TEST(DialogTemplate, LicencePageIsAnExtendedTemplateWithItsSixControls)
{
    std::string bytes = ResourceBytes(BuiltInstaller(), 131, RT_DIALOG);
    TemplateReader t(bytes);
    EXPECT_EQ(1, t.Word()) << "version";
    EXPECT_EQ(0xFFFF, t.Word()) << "signature";
    EXPECT_EQ(0u, t.Dword()) << "help id";
    EXPECT_EQ(0u, t.Dword()) << "extended style";
    EXPECT_EQ(DialogStyle, t.Dword());
    WORD count = t.Word();
    EXPECT_EQ(0, t.Short());
    EXPECT_EQ(0, t.Short());
    EXPECT_EQ(266, t.Short());
    EXPECT_EQ(249, t.Short());
    EXPECT_EQ(L"", t.NameOrOrdinal()) << "menu";
    EXPECT_EQ(L"", t.NameOrOrdinal()) << "class";
    EXPECT_EQ(Wide("使用許諾契約"), t.Text());
    EXPECT_EQ(9, t.Word()) << "point size";
    EXPECT_EQ(0, t.Word()) << "weight";
    EXPECT_EQ(0, t.Byte()) << "italic";
    EXPECT_EQ(1, t.Byte()) << "character set";
    EXPECT_EQ(Wide("ＭＳ Ｐゴシック"), t.Text());

    std::vector<Control> controls;
    for (WORD i = 0; i < count; ++i) {
        t.AlignDword();
        Control c;
        EXPECT_EQ(0u, t.Dword()) << "help id";
        c.exStyle = t.Dword();
        c.style = t.Dword();
        c.x = t.Short();
        c.y = t.Short();
        c.cx = t.Short();
        c.cy = t.Short();
        c.id = static_cast<int>(t.Dword());
        c.className = t.NameOrOrdinal();
        c.text = t.NameOrOrdinal();
        EXPECT_EQ(0, t.Word()) << "creation data";
        controls.push_back(c);
    }
    std::vector<Control> expected = {
        {Button, 2, Wide("同意しない"), 209, 228, 50, 14, 0x50010001, 0},
        {Button, 1001, Wide("< 戻る(&B)"), 97, 228, 50, 14, 0x50010000, 0},
        {Button, 1, Wide("同意する >"), 153, 228, 50, 14, 0x50010000, 0},
        {Edit, 1002, L"", 7, 31, 252, 164, 0x50A10804, 0x00020000},
        {Static, -1,
         Wide("以下のライセンス契約をお読み下さい。契約の残りの部分を読むには、Page Downキーを押してください。"),
         7, 7, 252, 22, 0x50020000, 0},
        {Static, -1,
         Wide("「同意する」をクリックすると使用許諾に同意したものとみなし、「Quorvane」のセットアッププログラムを続行します。"),
         7, 201, 252, 18, 0x50020000, 0},
    };
    ASSERT_EQ(expected.size(), controls.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(expected[i], controls[i]) << "control " << i + 1;
}

// --- Picture, licence and clip ---

template <class T>
T At(const std::string& bytes, size_t offset)
{
    T value = T();
    if (offset + sizeof(T) <= bytes.size())
        memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

TEST(PackageData, WelcomePictureIsA160By160BottomUpDib)
{
    std::string bitmap = ResourceBytes(BuiltInstaller(), 133, RT_BITMAP);
    ASSERT_EQ(76842u, bitmap.size());
    BITMAPINFOHEADER header = At<BITMAPINFOHEADER>(bitmap, 0);
    EXPECT_EQ(40u, header.biSize);
    EXPECT_EQ(160, header.biWidth);
    EXPECT_EQ(160, header.biHeight);
    EXPECT_EQ(1, header.biPlanes);
    EXPECT_EQ(24, header.biBitCount);
    EXPECT_EQ(static_cast<DWORD>(BI_RGB), header.biCompression);
    EXPECT_EQ(76802u, header.biSizeImage);
    EXPECT_EQ(2834, header.biXPelsPerMeter);
    EXPECT_EQ(2834, header.biYPelsPerMeter);
    EXPECT_EQ(0u, header.biClrUsed);
    EXPECT_EQ(std::string(2, '\0'), bitmap.substr(bitmap.size() - 2));
}

TEST(PackageData, LicenceIsSixtyCrLfLinesOfShiftJis)
{
    std::string text = ResourceBytes(BuiltInstaller(), 132, "TEXT");
    ASSERT_FALSE(text.empty());
    EXPECT_LT(text.size(), 5120u);
    EXPECT_NE("\xEF\xBB\xBF", text.substr(0, 3));
    EXPECT_EQ(std::string::npos, text.find('\0'));
    EXPECT_NE('\n', text.back());
    size_t lines = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ASSERT_GT(i, 0u);
            EXPECT_EQ('\r', text[i - 1]) << "bare line feed at " << i;
            ++lines;
        }
    }
    EXPECT_EQ(60u, lines);
    EXPECT_GT(MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text.data(), text.size(), NULL, 0),
              0)
        << "not valid CP932";
    EXPECT_NE(std::string::npos, text.substr(0, text.find('\r')).find("Quorvane"))
        << "the title line names the product";
}

std::string FourCc(const std::string& bytes, size_t offset)
{
    return bytes.substr(offset, 4);
}

TEST(PackageData, ClipIsTheRiffAviOfTheTable)
{
    std::string clip = ResourceBytes(BuiltInstaller(), 136, "MPEG");
    ASSERT_EQ(3072u, clip.size());
    EXPECT_EQ("RIFF", FourCc(clip, 0));
    EXPECT_EQ(2762u, At<DWORD>(clip, 4));
    EXPECT_EQ("AVI ", FourCc(clip, 8));
    EXPECT_EQ(std::string(302, '\0'), clip.substr(2770));

    // hdrl list with avih, then strl holding strh, strf and strn.
    EXPECT_EQ("LIST", FourCc(clip, 12));
    EXPECT_EQ(206u, At<DWORD>(clip, 16));
    EXPECT_EQ("hdrl", FourCc(clip, 20));
    EXPECT_EQ("avih", FourCc(clip, 24));
    EXPECT_EQ(56u, At<DWORD>(clip, 28));
    const DWORD avih[] = {500000, 618, 0, 0x810, 4, 0, 1, 618, 240, 240, 0, 0, 0, 0};
    for (size_t i = 0; i < 14; ++i)
        EXPECT_EQ(avih[i], At<DWORD>(clip, 32 + i * 4)) << "avih field " << i;

    EXPECT_EQ("LIST", FourCc(clip, 88));
    EXPECT_EQ(130u, At<DWORD>(clip, 92));
    EXPECT_EQ("strl", FourCc(clip, 96));
    EXPECT_EQ("strh", FourCc(clip, 100));
    EXPECT_EQ(56u, At<DWORD>(clip, 104));
    EXPECT_EQ("vids", FourCc(clip, 108));
    EXPECT_EQ("mpg4", FourCc(clip, 112));
    EXPECT_EQ(0u, At<DWORD>(clip, 116)) << "flags";
    EXPECT_EQ(0u, At<DWORD>(clip, 120)) << "priority and language";
    const DWORD strh[] = {0, 1000, 2000, 0, 4, 618, 0xFFFFFFFF, 0};
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(strh[i], At<DWORD>(clip, 124 + i * 4)) << "strh field " << i;
    const short frame[] = {0, 0, 240, 240};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(frame[i], At<short>(clip, 156 + i * 2)) << "frame " << i;

    EXPECT_EQ("strf", FourCc(clip, 164));
    EXPECT_EQ(40u, At<DWORD>(clip, 168));
    BITMAPINFOHEADER format = At<BITMAPINFOHEADER>(clip, 172);
    EXPECT_EQ(240, format.biWidth);
    EXPECT_EQ(240, format.biHeight);
    EXPECT_EQ(1, format.biPlanes);
    EXPECT_EQ(24, format.biBitCount);
    EXPECT_EQ("MPG4", FourCc(clip, 172 + 16));
    EXPECT_EQ(172800u, format.biSizeImage);
    EXPECT_EQ("strn", FourCc(clip, 212));
    EXPECT_EQ(6u, At<DWORD>(clip, 216));
    EXPECT_EQ(std::string("VIDEO\0", 6), clip.substr(220, 6));

    EXPECT_EQ("JUNK", FourCc(clip, 226));
    EXPECT_EQ(1802u, At<DWORD>(clip, 230));
    EXPECT_EQ(std::string(1802, '\0'), clip.substr(234, 1802));

    EXPECT_EQ("LIST", FourCc(clip, 2036));
    EXPECT_EQ(654u, At<DWORD>(clip, 2040));
    EXPECT_EQ("movi", FourCc(clip, 2044));
    EXPECT_EQ("00db", FourCc(clip, 2048));
    EXPECT_EQ(618u, At<DWORD>(clip, 2052));
    for (size_t offset : {2674u, 2682u, 2690u}) {
        EXPECT_EQ("00dc", FourCc(clip, offset));
        EXPECT_EQ(0u, At<DWORD>(clip, offset + 4));
    }

    EXPECT_EQ("idx1", FourCc(clip, 2698));
    EXPECT_EQ(64u, At<DWORD>(clip, 2702));
    struct {
        const char* id;
        DWORD flags, offset, size;
    } index[] = {{"00db", 0x10, 4, 618}, {"00dc", 0, 630, 0}, {"00dc", 0, 638, 0},
                 {"00dc", 0, 646, 0}};
    for (size_t i = 0; i < 4; ++i) {
        size_t entry = 2706 + i * 16;
        EXPECT_EQ(index[i].id, FourCc(clip, entry)) << i;
        EXPECT_EQ(index[i].flags, At<DWORD>(clip, entry + 4)) << i;
        EXPECT_EQ(index[i].offset, At<DWORD>(clip, entry + 8)) << i;
        EXPECT_EQ(index[i].size, At<DWORD>(clip, entry + 12)) << i;
        // Offsets count from the "movi" list type.
        EXPECT_EQ(index[i].id, FourCc(clip, 2044 + index[i].offset)) << i;
    }
}

}  // namespace
