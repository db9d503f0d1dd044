#include "Md5Digest.h"

#include <cstdio>
#include <memory>

#include <openssl/evp.h>

namespace {

using DigestContext = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

DigestContext StartMd5() {
    DigestContext context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    if (context && EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1) {
        context.reset();
    }
    return context;
}

std::string FinishHex(EVP_MD_CTX* context) {
    unsigned char value[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context, value, &length) != 1) {
        return std::string();
    }
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text.push_back(kDigits[value[i] >> 4]);
        text.push_back(kDigits[value[i] & 0x0F]);
    }
    return text;
}

}  // namespace

std::string Md5Hex(const std::string& data) {
    DigestContext context = StartMd5();
    if (!context || EVP_DigestUpdate(context.get(), data.data(), data.size()) != 1) {
        return std::string();
    }
    return FinishHex(context.get());
}

std::string Md5HexOfFile(const std::string& path) {
    std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    DigestContext context = StartMd5();
    if (!file || !context) {
        return std::string();
    }
    char chunk[64 * 1024];
    std::size_t read = 0;
    while ((read = std::fread(chunk, 1, sizeof(chunk), file.get())) > 0) {
        if (EVP_DigestUpdate(context.get(), chunk, read) != 1) {
            return std::string();
        }
    }
    if (std::ferror(file.get())) {
        return std::string();
    }
    return FinishHex(context.get());
}
