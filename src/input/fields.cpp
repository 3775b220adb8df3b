#include "input/fields.h"

#include "base/strings.h"

std::string first_field(const std::string& line) {
    size_t b = line.find_first_not_of(',');
    if (b == std::string::npos) return std::string();
    size_t e = line.find(',', b);
    return line.substr(b, e == std::string::npos ? std::string::npos : e - b);
}

void split_fields(const std::string& line, std::vector<std::string>& fields) {
    fields = split_fields(line, ',');
}

int count_cols(const std::string& line) {
    int fields = 0;
    size_t i = 0, n = line.size();
    while (i < n) {
        size_t e = line.find(',', i);
        if (e == std::string::npos) e = n;
        if (e > i) ++fields;
        i = e + 1;
    }
    return fields > 0 ? fields - 1 : 0;
}
