#ifndef QUILO_TOOLS_MD5DIGEST_H
#define QUILO_TOOLS_MD5DIGEST_H

// MD5 digests as the launcher compares them (32 upper-case hexadecimal
// digits), computed on the build machine by OpenSSL's libcrypto.

#include <string>

std::string Md5Hex(const std::string& data);
// Empty text when the file cannot be read, as for the launcher's digests.
std::string Md5HexOfFile(const std::string& path);

#endif
