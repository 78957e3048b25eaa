// SPDX-License-Identifier: Apache-2.0
#include "ScriptedFarEnd.h"

ScriptedFarEnd::ScriptedFarEnd(PtyPair& pty, std::size_t requestLength, Answer answer,
                               std::chrono::milliseconds delay) {
    thread_ = std::thread([this, &pty, requestLength, answer = std::move(answer), delay] {
        const ByteString request = pty.Read(requestLength, std::chrono::seconds(5));
        {
            std::lock_guard lock(mutex_);
            request_ = request;
        }
        if (request.size() < requestLength)
            return;
        std::this_thread::sleep_for(delay);
        const ByteString reply = answer(request);
        if (!reply.empty())
            pty.Write(reply);
    });
}

ScriptedFarEnd::~ScriptedFarEnd() {
    if (thread_.joinable())
        thread_.join();
}

ByteString ScriptedFarEnd::Request() {
    if (thread_.joinable())
        thread_.join();
    std::lock_guard lock(mutex_);
    return request_;
}
