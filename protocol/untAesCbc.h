// SPDX-License-Identifier: Apache-2.0
#pragma once

// The block cipher the cipher service runs on: OpenSSL on Linux, CNG (BCrypt) on Windows.

#include "ByteString.h"

#include <array>
#include <cstddef>

inline constexpr std::size_t AesBlockSize = 16;
using AesBlock = std::array<unsigned char, AesBlockSize>;

// AES-128-CBC without padding over `input`, a whole number of blocks. Raises EAESError.
ByteString RunAes128Cbc(const ByteString& input, const AesBlock& key, const AesBlock& vector,
                        bool encrypt);
