#include "module/RegistryScript.h"

#include <cwctype>

namespace nivra::rgs {
namespace {

bool EqualNoCase(const std::wstring& a, const wchar_t* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    return i == a.size() && b[i] == 0;
}

struct Token {
    enum Kind { Word, Quoted, Open, Close, Equals, End } kind = End;
    std::wstring text;
    size_t offset = 0;
};

class Parser {
public:
    Parser(const std::wstring& text, const Replacements& replacements) : text_(text), replacements_(replacements) {}

    ParseResult Run() {
        Script script;
        try {
            Advance();
            while (current_.kind != Token::End) script.roots.push_back(ParseRoot());
        } catch (const std::wstring& error) {
            return {std::nullopt, error};
        }
        return {std::move(script), std::wstring()};
    }

private:
    [[noreturn]] void Fail(const std::wstring& what) const {
        throw what + L" at offset " + std::to_wstring(current_.offset);
    }

    static bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

    // A brace is a block delimiter only when it stands alone; "{0A64...}" is a key name.
    bool BraceStandsAlone(size_t at) const { return at + 1 >= text_.size() || IsSpace(text_[at + 1]); }

    void Advance() {
        while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
        current_ = Token();
        current_.offset = pos_;
        if (pos_ >= text_.size()) return;
        wchar_t c = text_[pos_];
        if ((c == L'{' || c == L'}') && BraceStandsAlone(pos_)) {
            current_.kind = c == L'{' ? Token::Open : Token::Close;
            ++pos_;
        } else if (c == L'=') {
            current_.kind = Token::Equals;
            ++pos_;
        } else if (c == L'\'') {
            current_.kind = Token::Quoted;
            current_.text = Expand(ReadQuoted());
        } else {
            current_.kind = Token::Word;
            size_t start = pos_;
            while (pos_ < text_.size() && !IsSpace(text_[pos_]) && text_[pos_] != L'=' && text_[pos_] != L'\'') ++pos_;
            current_.text = Expand(text_.substr(start, pos_ - start));
        }
    }

    std::wstring ReadQuoted() {
        std::wstring raw;
        ++pos_;
        for (;;) {
            if (pos_ >= text_.size()) Fail(L"unterminated quoted text");
            if (text_[pos_] == L'\'') {
                if (pos_ + 1 < text_.size() && text_[pos_ + 1] == L'\'') {
                    raw += L'\'';
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                return raw;
            }
            raw += text_[pos_++];
        }
    }

    std::wstring Expand(const std::wstring& raw) const {
        std::wstring out;
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != L'%') {
                out += raw[i];
                continue;
            }
            size_t close = raw.find(L'%', i + 1);
            if (close == std::wstring::npos) Fail(L"unterminated replacement in '" + raw + L"'");
            std::wstring name = raw.substr(i + 1, close - i - 1);
            if (name.empty()) out += L'%';
            else out += Lookup(name);
            i = close;
        }
        return out;
    }

    const std::wstring& Lookup(const std::wstring& name) const {
        for (const auto& [key, value] : replacements_)
            if (EqualNoCase(name, key.c_str())) return value;
        Fail(L"unknown replacement %" + name + L"%");
    }

    bool IsWord(const wchar_t* keyword) const {
        return current_.kind == Token::Word && EqualNoCase(current_.text, keyword);
    }

    void Expect(Token::Kind kind, const wchar_t* what) {
        if (current_.kind != kind) Fail(std::wstring(L"expected ") + what);
        Advance();
    }

    RootBlock ParseRoot() {
        RootBlock block;
        if (IsWord(L"HKCR") || IsWord(L"HKEY_CLASSES_ROOT")) block.root = Root::ClassesRoot;
        else if (IsWord(L"HKLM") || IsWord(L"HKEY_LOCAL_MACHINE")) block.root = Root::LocalMachine;
        else if (IsWord(L"HKCU") || IsWord(L"HKEY_CURRENT_USER")) block.root = Root::CurrentUser;
        else if (IsWord(L"HKU") || IsWord(L"HKEY_USERS")) block.root = Root::Users;
        else Fail(L"expected a root key");
        Advance();
        Expect(Token::Open, L"'{' after the root key");
        while (current_.kind != Token::Close) {
            if (current_.kind == Token::End) Fail(L"missing '}'");
            if (IsWord(L"val")) Fail(L"a value needs a key");
            block.keys.push_back(ParseKey());
        }
        Advance();
        return block;
    }

    // "= s 'text'"
    std::wstring ParseStringAssignment() {
        Expect(Token::Equals, L"'='");
        if (!IsWord(L"s")) Fail(L"only string values (s) are supported");
        Advance();
        if (current_.kind != Token::Quoted) Fail(L"expected quoted text");
        std::wstring data = current_.text;
        Advance();
        return data;
    }

    std::wstring ParseName() {
        if (current_.kind != Token::Word && current_.kind != Token::Quoted) Fail(L"expected a name");
        std::wstring name = current_.text;
        if (name.empty()) Fail(L"empty name");
        Advance();
        return name;
    }

    Key ParseKey() {
        Key key;
        if (IsWord(L"NoRemove")) {
            key.noRemove = true;
            Advance();
        } else if (IsWord(L"ForceRemove")) {
            key.forceRemove = true;
            Advance();
        }
        key.name = ParseName();
        if (current_.kind == Token::Equals) key.defaultValue = ParseStringAssignment();
        if (current_.kind == Token::Open) {
            Advance();
            while (current_.kind != Token::Close) {
                if (current_.kind == Token::End) Fail(L"missing '}'");
                key.entries.push_back(ParseEntry());
            }
            Advance();
        }
        return key;
    }

    Entry ParseEntry() {
        Entry entry;
        if (IsWord(L"val")) {
            Advance();
            entry.isValue = true;
            entry.valueName = ParseName();
            entry.valueData = ParseStringAssignment();
        } else {
            entry.subkey = std::make_shared<Key>(ParseKey());
        }
        return entry;
    }

    const std::wstring& text_;
    const Replacements& replacements_;
    size_t pos_ = 0;
    Token current_;
};

long RegisterKey(const Key& key, Root root, const std::wstring& path, RegistryTarget& registry) {
    long status = 0;
    if (key.forceRemove && (status = registry.DeleteTree(root, path)) != 0) return status;
    if ((status = registry.CreateKey(root, path)) != 0) return status;
    if (key.defaultValue && (status = registry.SetString(root, path, std::wstring(), *key.defaultValue)) != 0)
        return status;
    for (const Entry& entry : key.entries) {
        status = entry.isValue ? registry.SetString(root, path, entry.valueName, entry.valueData)
                               : RegisterKey(*entry.subkey, root, path + L"\\" + entry.subkey->name, registry);
        if (status != 0) return status;
    }
    return 0;
}

// A removable key goes with its whole subtree; a kept key stays, but its removable subkeys go.
long UnregisterKey(const Key& key, Root root, const std::wstring& path, RegistryTarget& registry) {
    if (!key.noRemove) return registry.DeleteTree(root, path);
    for (const Entry& entry : key.entries) {
        if (entry.isValue) continue;
        long status = UnregisterKey(*entry.subkey, root, path + L"\\" + entry.subkey->name, registry);
        if (status != 0) return status;
    }
    return 0;
}

}  // namespace

ParseResult ParseScript(const std::wstring& text, const Replacements& replacements) {
    return Parser(text, replacements).Run();
}

long ApplyScript(const Script& script, Mode mode, RegistryTarget& registry) {
    for (const RootBlock& block : script.roots) {
        for (const Key& key : block.keys) {
            long status = mode == Mode::Register ? RegisterKey(key, block.root, key.name, registry)
                                                 : UnregisterKey(key, block.root, key.name, registry);
            if (status != 0) return status;
        }
    }
    return 0;
}

}  // namespace nivra::rgs
