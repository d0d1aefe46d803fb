#include "XmlShapeLimit.h"

#include <algorithm>

namespace palletry_service {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

bool XmlShapeLimit::exceed(std::string reason)
{
    reason_ = std::move(reason);
    return false;
}

bool XmlShapeLimit::feed(std::string_view bytes)
{
    if (!reason_.empty())
        return false;
    // Skips a section that ends with skipNeed_ times skipRun_ and then '>' ("-->", "]]>", "?>", ">").
    const auto skipUntil = [this](char run, std::size_t need) {
        state_ = State::Skip;
        skipRun_ = run;
        skipNeed_ = need;
        skipSeen_ = 0;
    };
    for (const char c : bytes) {
        switch (state_) {
        case State::Text:
            if (c == '<')
                state_ = State::Open;
            break;
        case State::Open:
            if (c == '/') {
                state_ = State::EndTag;
            } else if (c == '?') {
                skipUntil('?', 1);
            } else if (c == '!') {
                state_ = State::Bang;
                bang_.clear();
            } else {
                ++nodes_;
                if (++depth_ > MaxDepth)
                    return exceed("The request nests elements more than " + std::to_string(MaxDepth)
                                  + " levels deep; no operation takes that.");
                state_ = State::StartTag;
                quote_ = 0;
                lastMark_ = c;
            }
            break;
        case State::Bang: {
            static constexpr std::string_view comment = "--";
            static constexpr std::string_view cdata = "[CDATA[";
            bang_ += c;
            if (bang_ == comment) {
                skipUntil('-', 2);
            } else if (bang_ == cdata) {
                ++nodes_;
                skipUntil(']', 2);
            } else if (comment.compare(0, bang_.size(), bang_) != 0 && cdata.compare(0, bang_.size(), bang_) != 0) {
                skipUntil(0, 0); // a declaration: up to its '>'
                if (c == '>')
                    state_ = State::Text;
            }
            break;
        }
        case State::StartTag:
            if (quote_) {
                if (c == quote_)
                    quote_ = 0;
            } else if (c == '"' || c == '\'') {
                quote_ = c;
            } else if (c == '=') {
                ++nodes_; // an attribute
            } else if (c == '>') {
                if (lastMark_ == '/')
                    --depth_;
                state_ = State::Text;
            }
            if (!isBlank(c))
                lastMark_ = c;
            break;
        case State::EndTag:
            if (c == '>') {
                depth_ -= depth_ > 0;
                state_ = State::Text;
            }
            break;
        case State::Skip:
            if (c == '>' && skipSeen_ >= skipNeed_)
                state_ = State::Text;
            else if (skipNeed_ > 0 && c == skipRun_)
                skipSeen_ = std::min(skipSeen_ + 1, skipNeed_);
            else
                skipSeen_ = 0;
            break;
        }
        if (nodes_ > MaxNodes)
            return exceed("The request holds more than " + std::to_string(MaxNodes)
                          + " elements and attributes; no operation takes that many.");
    }
    return true;
}

std::optional<std::string> XmlShapeLimit::exceeded(std::string_view text)
{
    XmlShapeLimit limit;
    if (limit.feed(text))
        return std::nullopt;
    return limit.reason();
}

} // namespace palletry_service
