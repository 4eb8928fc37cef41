// Writes a JSON document straight into a byte string, members in the order they are written,
// without building a tree first: a snapshot of ten thousand endpoints is written in one pass.
// Strings are taken as UTF-8; what the network announces is not always valid UTF-8, so every
// invalid sequence becomes U+FFFD and the document stays valid JSON.
#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

class JsonWriter
{
public:
    // Indented by two spaces per level, or all on one line (one document per line).
    enum class Layout
    {
        Indented,
        OneLine
    };

    explicit JsonWriter(std::string& out, Layout layout = Layout::Indented);

    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    // The name of the next member of the current object.
    JsonWriter& key(const char* name);

    JsonWriter& string(const std::string& utf8);
    JsonWriter& string(const char* utf8);
    JsonWriter& string(const QString& text);
    JsonWriter& number(int64_t value);
    JsonWriter& boolean(bool value);
    JsonWriter& null();

    // Appends `text` to `out` as the contents of a JSON string (without the quotes).
    static void appendEscaped(std::string& out, const char* data, size_t size);

private:
    void beforeValue();
    void newLine();
    JsonWriter& close(char bracket);

    std::string& m_out;
    Layout m_layout;
    // per open container: how many values it holds so far
    std::vector<int> m_counts;
    bool m_afterKey = false;
};
