#include "TomlDepth.h"

#include <vector>

namespace {

class DepthScan {
public:
    explicit DepthScan(std::string_view text) : text_(text) {}

    std::optional<TomlTooDeep> run()
    {
        startLine();
        while (at_ < text_.size() && !found_) {
            const char c = text_[at_++];
            if (c == '"' || c == '\'')
                skipString(c);
            else if (c == '#')
                skipComment();
            else if (c == '\n')
                newLine();
            else
                structure(c);
        }
        return found_;
    }

private:
    void startLine()
    {
        if (!open_.empty())
            return;   // an array going on over several lines
        inKey_ = true;
        lineStart_ = true;
        inHeader_ = false;
        parts_ = 1;
    }

    void newLine()
    {
        ++line_;
        startLine();
    }

    void structure(char c)
    {
        if (c == ' ' || c == '\t' || c == '\r')
            return;
        const bool first = lineStart_;
        lineStart_ = false;
        if (inKey_ && c == '.' && ++parts_ > maxTomlKeyParts)
            fail("a key of more than " + std::to_string(maxTomlKeyParts) + " parts");
        else if (c == '[' && ((first && open_.empty()) || inHeader_))
            inHeader_ = true;   // a table header (or an array of tables): a key until its ']'
        else if (c == ']' && inHeader_)
            inHeader_ = inKey_ = false;
        else if (c == '=' && inKey_)
            inKey_ = false;
        else if ((c == '[' || c == '{') && !inKey_)
            open(c);
        else if ((c == ']' || c == '}') && !open_.empty())
            close();
        else if (c == ',' && !open_.empty() && open_.back() == '{')
            startKey();
    }

    void open(char c)
    {
        open_.push_back(c);
        if (static_cast<int>(open_.size()) > maxTomlNesting)
            fail("values nested more than " + std::to_string(maxTomlNesting) + " deep");
        else if (c == '{')
            startKey();
    }

    void close()
    {
        open_.pop_back();
        inKey_ = false;
    }

    void startKey()
    {
        inKey_ = true;
        parts_ = 1;
    }

    // From just after the opening quote to just after the closing one; a basic
    // string's backslash escapes the next character.
    void skipString(char quote)
    {
        lineStart_ = false;
        const bool triple = text_.substr(at_, 2) == std::string(2, quote);
        if (triple)
            at_ += 2;
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == '\n')
                ++line_;
            if (c == '\\' && quote == '"') {
                if (at_ < text_.size() && text_[at_++] == '\n')
                    ++line_;
            } else if (c == quote && (!triple || text_.substr(at_, 2) == std::string(2, quote))) {
                at_ += triple ? 2 : 0;
                return;
            }
        }
    }

    void skipComment()
    {
        while (at_ < text_.size() && text_[at_] != '\n')
            ++at_;
    }

    void fail(std::string reason) { found_ = TomlTooDeep{line_, std::move(reason)}; }

    std::string_view text_;
    std::size_t at_ = 0;
    int line_ = 1;
    std::vector<char> open_;   // the arrays '[' and inline tables '{' a value is inside
    bool inKey_ = true;
    bool lineStart_ = true;
    bool inHeader_ = false;
    int parts_ = 1;
    std::optional<TomlTooDeep> found_;
};

} // namespace

std::optional<TomlTooDeep> findTooDeep(std::string_view text)
{
    return DepthScan(text).run();
}
