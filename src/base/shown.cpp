#include "base/shown.h"

#include <cstdlib>

#include "base/out.h"
#include "base/strings.h"

std::string Shown::text() const {
    return strfmt("%.*f", places, value);
}

bool Shown::decimals() const {
    return text().find('.') != std::string::npos;
}

double Shown::number() const {
    return std::atof(text().c_str());
}

double Shown::whole() const {
    std::string t = text();
    return std::atof(t.substr(0, t.find('.')).c_str());
}

int Shown::whole_int() const {
    return atoi_s(text());
}
