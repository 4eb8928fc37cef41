// One name/value property a peer participant announces in its discovery data.
#pragma once

#include <string>

namespace peerkit {

struct Property
{
    std::string name;
    std::string value;
};

} // namespace peerkit
