#pragma once
// The maker's web pages and support address: the version file the update check reads, the
// download and product page, the online help, and where problem reports go.
namespace vm::maker {

inline constexpr const char* kWebSite = "https://www.velmorasoftware.com/";
inline constexpr const char* kVersionFile =
    "https://www.velmorasoftware.com/vmsdr_data_files/vmsdr_version.dat";
inline constexpr const char* kProductPage = "https://www.velmorasoftware.com/velmoraSDR.html";
inline constexpr const char* kOnlineHelp =
    "https://www.velmorasoftware.com/velmoraSDR_Help/velmoraSDR_Help.html";
inline constexpr const char* kSupportEmail = "support@velmorasoftware.com";

}  // namespace vm::maker
