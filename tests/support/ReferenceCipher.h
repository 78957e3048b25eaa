// SPDX-License-Identifier: Apache-2.0
#pragma once

// AES-128-CBC straight from OpenSSL, without padding: the tests' independent view of what the
// display computes, not the code under test.

#include "ByteString.h"

#include <string_view>

ByteString ReferenceCbc(bool encrypt, const ByteString& data, std::string_view key,
                        std::string_view vector);
