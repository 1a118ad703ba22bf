// Site list files on the real file system, and the cipher against the system's provider.
#include "sites/SiteListFile.h"

#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "base/ErrorCode.h"
#include "core/Configuration.h"
#include "win/QhError.h"
#include "sites/SiteListCipher.h"
#include "sites/SiteListFormat.h"
#include "tests/fixtures/FixtureMessages.h"
#include "tests/win/Fixtures.h"
#include "tests/win/RegistryFixture.h"
#include "win/ErrorBox.h"
#include "win/Handle.h"
#include "win/WinText.h"

namespace vp {
namespace {

using test::ReadFileBytes;

SiteCatalogue SampleCatalogue(SiteCategoryList& categories) {
    categories = {{"Search"}, {"Maps"}};
    SiteCatalogue catalogue;
    catalogue.Insert(0, {"Engine", "https://engine.example/?q=", 0, false, false});
    catalogue.Insert(-3, {"Atlas", "https://maps.example/search/", 1, true, false});
    return catalogue;
}

// What the policies in the registry say of the site list.
SiteListPolicy Policy() {
    return ReadConfiguration().SiteList();
}

// Expects LoadSiteList to raise an error with the given code and text.
void ExpectLoadError(const char* path, std::int32_t code, const std::string& text) {
    SiteCatalogue catalogue;
    catalogue.Insert(9, {});
    try {
        path != nullptr ? LoadSiteList(catalogue, nullptr, path)
                        : LoadSiteList(catalogue, nullptr, Policy());
        ADD_FAILURE() << "no error for " << (path ? path : "own file");
    } catch (const _qh_error& error) {
        EXPECT_EQ(error.Code(), code);
        EXPECT_EQ(error.Text(), text);
    }
    EXPECT_TRUE(catalogue.Empty());  // emptied before anything else
}

const std::string kWrongSettings =
    "Wrong Application Settings.\r\nReinstall the Application, Please.";

class SiteListFile : public ::testing::Test {
protected:
    void SetUp() override { RemoveOwnFiles(); }
    void TearDown() override { RemoveOwnFiles(); }
    static void RemoveOwnFiles() {
        ::DeleteFileW(WidePointer(UserSiteListPath()));
        ::DeleteFileW(WidePointer(SystemSiteListPath()));
    }
};

TEST_F(SiteListFile, MissingOwnFileRaisesTheSystemErrorWithMessage108) {
    ExpectLoadError(nullptr, ResultFromSystemError(ERROR_FILE_NOT_FOUND), kWrongSettings);
    std::string missing = TempFolder() + "no-such-list.qhsl";
    ExpectLoadError(missing.c_str(), ResultFromSystemError(ERROR_FILE_NOT_FOUND), kWrongSettings);
}

TEST_F(SiteListFile, OwnFileIsAlwaysEncrypted) {
    SiteCategoryList categories;
    std::string plain = FormatSiteList(SampleCatalogue(categories), categories);
    WriteFileBytes(SystemSiteListPath(), plain);
    ExpectLoadError(nullptr, kResultFail, kWrongSettings);

    WriteFileBytes(SystemSiteListPath(), Encrypted(plain));
    SiteCatalogue catalogue;
    LoadSiteList(catalogue, nullptr, Policy());
    ASSERT_EQ(catalogue.Size(), 2u);
    EXPECT_EQ(catalogue.Find(-3)->url, "https://maps.example/search/");
}

TEST_F(SiteListFile, GivenPathsFollowTheExchangeNameRule) {
    SiteCategoryList categories;
    std::string plain = FormatSiteList(SampleCatalogue(categories), categories);
    std::string plainPath = TempFolder() + "plain.qhsl";
    WriteFileBytes(plainPath, plain);
    ExpectLoadError(plainPath.c_str(), kResultFail, "Wrong site list file");

    std::string folder = TempFolder() + "AvailableSitesExchange.qhsle.d";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    std::string exchangePath = folder + "\\any name.txt";
    WriteFileBytes(exchangePath, plain);
    SiteCatalogue catalogue;
    SiteCategoryList readCategories;
    LoadSiteList(catalogue, &readCategories, exchangePath.c_str());
    EXPECT_EQ(catalogue.Size(), 2u);
    ASSERT_EQ(readCategories.size(), 2u);
    EXPECT_EQ(readCategories[1].name, "Maps");

    WriteFileBytes(exchangePath, Encrypted(plain));  // an encrypted file under the exchange name
    ExpectLoadError(exchangePath.c_str(), kResultFail, "Wrong site list file");
    ::DeleteFileA(exchangePath.c_str());
    ::RemoveDirectoryA(folder.c_str());
    ::DeleteFileA(plainPath.c_str());
}

TEST_F(SiteListFile, SavingGoesToTheUserFolderWhichThenWins) {
    SiteCategoryList categories;
    SiteCatalogue catalogue = SampleCatalogue(categories);
    WriteFileBytes(SystemSiteListPath(), Encrypted(FormatSiteList({}, {})));

    ASSERT_EQ(SaveSiteList(catalogue, categories), 0u);
    EXPECT_EQ(OwnSiteListPathForReading(), UserSiteListPath());
    std::string stored = ReadFileBytes(UserSiteListPath());
    EXPECT_EQ(stored, Encrypted(FormatSiteList(catalogue, categories)));

    SiteCatalogue loaded;
    SiteCategoryList loadedCategories;
    LoadSiteList(loaded, &loadedCategories, Policy());
    EXPECT_EQ(loaded.Size(), 2u);
    EXPECT_TRUE(loaded.Find(-3)->reservedFlag);
    EXPECT_EQ(loadedCategories.size(), 2u);

    // Also in a profile whose folder is named outside the ANSI code page.
    const std::u16string greek = AnsiToUtf16(TempFolder()) + u"\u03a4\u03bf\u03c0\u03b9\u03ba";
    ::CreateDirectoryW(WidePointer(greek), nullptr);
    const char kFolders[] =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    char before[MAX_PATH] = {};
    DWORD size = sizeof before;
    ::RegGetValueA(HKEY_CURRENT_USER, kFolders, "Local AppData", RRF_RT_ANY | RRF_NOEXPAND, nullptr,
                   before, &size);
    WriteTestWideString(kFolders, "Local AppData", greek);
    EXPECT_EQ(SaveSiteList(catalogue, categories), 0u);
    EXPECT_EQ(ReadFileBytes(greek + u"\\Quenhollow\\Vantapicker\\AvailableSites.qhsl"), stored);
    EXPECT_EQ(LoadSiteList(loaded, &loadedCategories, Policy()), SiteListSource::UserFile);
    ::DeleteFileW(WidePointer(UserSiteListPath()));
    WriteTestValue(kFolders, "Local AppData", REG_EXPAND_SZ, before, size);  // the folder stays
}

TEST_F(SiteListFile, SavingAgainReplacesTheFile) {
    SiteCategoryList categories;
    SiteCatalogue first = SampleCatalogue(categories);
    SiteCatalogue second = first;
    second.Erase(0);
    const std::string path = TempFolder() + "twice.qhsl";
    for (const char* target : {path.c_str(), static_cast<const char*>(nullptr)}) {
        ASSERT_EQ(SaveSiteList(first, categories, target), 0u);
        ASSERT_EQ(SaveSiteList(second, categories, target), 0u);  // over the existing copy
        const std::string stored = target ? ReadFileBytes(path) : ReadFileBytes(UserSiteListPath());
        EXPECT_EQ(stored, Encrypted(FormatSiteList(second, categories)));
    }
    ::DeleteFileA(path.c_str());
}

TEST_F(SiteListFile, ExportsArePlainOnlyUnderTheExchangeName) {
    SiteCategoryList categories;
    SiteCatalogue catalogue = SampleCatalogue(categories);
    std::string plain = FormatSiteList(catalogue, categories);
    std::string exchangePath = TempFolder() + "AvailableSitesExchange.qhsle";
    std::string otherPath = TempFolder() + "export.qhsl";
    ASSERT_EQ(SaveSiteList(catalogue, categories, exchangePath.c_str()), 0u);
    ASSERT_EQ(SaveSiteList(catalogue, categories, otherPath.c_str()), 0u);
    EXPECT_EQ(ReadFileBytes(exchangePath), plain);
    EXPECT_EQ(ReadFileBytes(otherPath), Encrypted(plain));
    ::DeleteFileA(exchangePath.c_str());
    ::DeleteFileA(otherPath.c_str());
}

TEST_F(SiteListFile, FailedWriteKeepsThePreviousFile) {
    SiteCategoryList categories;
    SiteCatalogue catalogue = SampleCatalogue(categories);
    std::string path = TempFolder() + "kept.qhsl";
    WriteFileBytes(path, "previous");
    WriteFileBytes(path + ".new", "the user's own file");  // no name is the writer's to take
    {
        // Another program holds the file open without sharing: it cannot be replaced.
        win::FileHandle holder = HoldFile(path);
        ASSERT_TRUE(holder);
        EXPECT_NE(SaveSiteList(catalogue, categories, path.c_str()), 0u);
    }
    EXPECT_EQ(ReadFileBytes(path), "previous");
    WIN32_FIND_DATAA found{};
    HANDLE search = ::FindFirstFileA((TempFolder() + "vps*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << found.cFileName;  // no temporary file left
    ::FindClose(search);
    EXPECT_EQ(SaveSiteList(catalogue, categories, path.c_str()), 0u);
    EXPECT_EQ(ReadFileBytes(path + ".new"), "the user's own file");
    ::DeleteFileA(path.c_str());
    ::DeleteFileA((path + ".new").c_str());

    std::string noFolder = TempFolder() + "no-such-folder\\list.qhsl";
    EXPECT_NE(SaveSiteList(catalogue, categories, noFolder.c_str()), 0u);
}

TEST_F(SiteListFile, OnlyBadContentsAreSetAsideAndAHeldUserFileIsLeftAlone) {
    SiteCategoryList categories;
    SiteCatalogue catalogue = SampleCatalogue(categories);
    WriteFileBytes(SystemSiteListPath(), Encrypted(FormatSiteList(catalogue, categories)));
    ASSERT_EQ(SaveSiteList({}, {}), 0u);
    const std::u16string user = UserSiteListPath();
    const std::u16string aside = user + u".unreadable";
    for (const char* damage : {"damaged", "foreign"}) {
        WriteFileBytes(user, damage);
        SiteCatalogue loaded;
        SiteCategoryList loadedCategories;
        EXPECT_EQ(LoadSiteList(loaded, &loadedCategories, Policy()), SiteListSource::WindowsCopy);
        EXPECT_EQ(loaded.Size(), 2u);
        EXPECT_EQ(loadedCategories.size(), 2u);
        EXPECT_EQ(OwnSiteListPathForReading(), SystemSiteListPath());
    }
    // Nothing deleted: the first damaged file and the second one each under a name.
    EXPECT_EQ(ReadFileBytes(aside), "damaged");
    EXPECT_EQ(ReadFileBytes(aside + u"-2"), "foreign");
    ::DeleteFileW(WidePointer(aside));
    ::DeleteFileW(WidePointer(aside + u"-2"));

    // A sound file held open by another program sharing only deletion (as backup programs
    // and virus scanners hold files at logon): the Windows copy serves this time, and the
    // user's file stays where it is, untouched.
    SiteCatalogue single;
    single.Insert(4, {"Own", "https://own.example/?q=", 0, false, false});
    ASSERT_EQ(SaveSiteList(single, {}), 0u);
    const std::string bytes = ReadFileBytes(user);
    SiteCatalogue loaded;
    {
        win::FileHandle holder = HoldFile(user, FILE_SHARE_DELETE);
        ASSERT_TRUE(holder);
        EXPECT_EQ(LoadSiteList(loaded, nullptr, Policy()),
                  SiteListSource::WindowsCopyForUnreadUserFile);
        EXPECT_EQ(loaded.Size(), 2u);
    }
    EXPECT_EQ(ReadFileBytes(user), bytes);
    EXPECT_EQ(::GetFileAttributesW(WidePointer(aside)), INVALID_FILE_ATTRIBUTES);

    // Held for a moment only: tried again, and read.
    win::FileHandle holder = HoldFile(user, FILE_SHARE_DELETE);
    ASSERT_TRUE(holder);
    std::thread releaser([&holder] {
        ::Sleep(60);
        holder.Reset();
    });
    EXPECT_EQ(LoadSiteList(loaded, nullptr, Policy()), SiteListSource::UserFile);
    releaser.join();
    EXPECT_EQ(loaded.Size(), 1u);
}

TEST_F(SiteListFile, GivenFileWhoseBytesCannotBeReadRaisesTheSystemsText) {
    const std::string path = TempFolder() + "huge.qhsl";
    ASSERT_TRUE(MakeHugeFile(path));
    ExpectLoadError(path.c_str(), ResultFromSystemError(ERROR_FILE_TOO_LARGE),
                    SystemErrorText(ERROR_FILE_TOO_LARGE));
    EXPECT_NE(SystemErrorText(ERROR_FILE_TOO_LARGE), "");
    ::DeleteFileA(path.c_str());
}

// SiteListPath names a file that stands in for the Windows directory's copy and is never
// changed; when it cannot be read the Windows copy serves, and the caller hears why.
TEST_F(SiteListFile, OrganisationsFileStandsInForTheWindowsCopyAndSaysWhyWhenNotRead) {
    SiteCategoryList categories;
    WriteFileBytes(SystemSiteListPath(),
                   Encrypted(FormatSiteList(SampleCatalogue(categories), categories)));
    const std::string share = TempFolder() + "policy share";
    ::CreateDirectoryA(share.c_str(), nullptr);
    const std::string managed = share + "\\sites.qhsl";
    SiteCatalogue own;
    own.Insert(7, {"Org", "https://org.example/?q=", 0, false, false});
    WriteFileBytes(managed, Encrypted(FormatSiteList(own, {{"Org"}})));
    ::SetEnvironmentVariableA("VP_TEST_SHARE", share.c_str());
    ASSERT_TRUE(AddPolicy("HKCU", "SiteListPath", "REG_EXPAND_SZ", "%VP_TEST_SHARE%\\sites.qhsl"));

    SiteCatalogue loaded;
    std::string problem;
    EXPECT_EQ(LoadSiteList(loaded, nullptr, Policy(), &problem), SiteListSource::ManagedFile);
    EXPECT_NE(loaded.Find(7), nullptr);
    EXPECT_EQ(problem, "");
    // A user's own file goes first, unless users may not edit the sites.
    ASSERT_EQ(SaveSiteList({}, {}), 0u);
    EXPECT_EQ(LoadSiteList(loaded, nullptr, Policy()), SiteListSource::UserFile);
    ASSERT_TRUE(AddPolicy("HKLM", "AllowSiteEditing", "REG_DWORD", "0"));
    EXPECT_EQ(LoadSiteList(loaded, nullptr, Policy()), SiteListSource::ManagedFile);

    WriteFileBytes(managed, "no site list");
    EXPECT_EQ(LoadSiteList(loaded, nullptr, Policy(), &problem),
              SiteListSource::WindowsCopyForUnreadManagedFile);
    EXPECT_EQ(loaded.Size(), 2u);
    EXPECT_EQ(problem, managed + ": Wrong site list file");
    EXPECT_EQ(ReadFileBytes(managed), "no site list");  // not set aside
    ::DeleteFileA(managed.c_str());
    ::RemoveDirectoryA(share.c_str());
    LoadSiteList(loaded, nullptr, Policy(), &problem);
    EXPECT_EQ(problem, managed + ": " + SystemErrorText(ERROR_PATH_NOT_FOUND));
    DeleteProgramKeys();
}

// Runs the system's base provider: MD5 of the pass phrase, CryptDeriveKey RC4, one block.
std::string ProviderCrypt(std::string bytes, bool encrypt) {
    HCRYPTPROV provider = 0;
    if (!::CryptAcquireContextA(&provider, nullptr, MS_DEF_PROV_A, PROV_RSA_FULL, 0)) {
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(NTE_BAD_KEYSET));
        EXPECT_TRUE(::CryptAcquireContextA(&provider, nullptr, MS_DEF_PROV_A, PROV_RSA_FULL,
                                           CRYPT_NEWKEYSET));
    }
    HCRYPTHASH hash = 0;
    HCRYPTKEY key = 0;
    EXPECT_TRUE(::CryptCreateHash(provider, CALG_MD5, 0, 0, &hash));
    EXPECT_TRUE(::CryptHashData(hash, reinterpret_cast<const BYTE*>(kSiteListPassPhrase.data()),
                                static_cast<DWORD>(kSiteListPassPhrase.size()), 0));
    EXPECT_TRUE(::CryptDeriveKey(provider, CALG_RC4, hash, 0, &key));
    DWORD length = static_cast<DWORD>(bytes.size());
    auto* data = reinterpret_cast<BYTE*>(bytes.data());
    if (encrypt) {
        EXPECT_TRUE(::CryptEncrypt(key, 0, TRUE, 0, data, &length, length));
    } else {
        EXPECT_TRUE(::CryptDecrypt(key, 0, TRUE, 0, data, &length));
    }
    ::CryptDestroyKey(key);
    ::CryptDestroyHash(hash);
    ::CryptReleaseContext(provider, 0);
    return bytes;
}

TEST(SiteListCipherProvider, AgreesWithTheSystemProviderBothWays) {
    for (std::size_t size : {1u, 30u, 34u, 257u, 4096u, 100001u}) {
        std::string text(size, '\0');
        for (std::size_t i = 0; i < size; ++i) {
            text[i] = static_cast<char>((i * 131 + 7) & 0xFF);
        }
        std::string ours = Encrypted(text);
        EXPECT_EQ(ProviderCrypt(text, true), ours) << size;
        EXPECT_EQ(ProviderCrypt(ours, false), text) << size;
        std::string back = ProviderCrypt(text, true);
        SiteListCipher().Decrypt(reinterpret_cast<std::uint8_t*>(back.data()), back.size());
        EXPECT_EQ(back, text) << size;
    }
}

}  // namespace
}  // namespace vp
