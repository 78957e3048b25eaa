// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "ByteString.h"
#include "untHandshakeKeys.h"

// The display's side of the challenge/response: decipher the 32 request bytes with the
// encryption key, encipher the same 32 padded bytes again with the decryption key (or, to
// misbehave, with a key the host does not expect) and answer the request's three leading bytes
// followed by those 32 bytes. The request is the whole 35-byte frame.
ByteString AnswerHandShake(const ByteString& request, const HandshakeKeySet& keys,
                           bool wrongKey = false);
