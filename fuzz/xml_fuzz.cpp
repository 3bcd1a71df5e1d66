// XML reader on arbitrary input. Besides the sanitizers it checks what the
// reader promises of every tree it builds, however broken the input.
#include "SilentUi.h"

#include "chipdb/Xmlparser.h"

#include <cstdlib>
#include <string>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// Walks the tree: bounded depth, values free of tags and raw white space,
// and every first-of-its-name element reachable by its path.
void check(const XMLFile& xml, const XMLTree& tree, const std::string& path, bool reachable, int depth)
{
    require(depth <= XMLFile::kMaxDepth);
    for (const auto& child : tree.children()) {
        const std::string& name = child->name();
        require(!name.empty());
        require(name.find('>') == std::string::npos);
        const bool first = tree.child(name) == child.get();
        const bool walkable = reachable && first && name.find('\\') == std::string::npos;
        const std::string childPath = path.empty() ? name : path + "\\" + name;
        if (walkable)
            require(xml.hasPath(childPath));
        if (child->isTree()) {
            check(xml, static_cast<const XMLTree&>(*child), childPath, walkable, depth + 1);
        } else {
            const std::string& value = static_cast<const XMLNode&>(*child).value();
            require(value.find('<') == std::string::npos);
            for (char c : value)
                require(c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f');
            if (walkable)
                require(xml.getValue(childPath) == value);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SilentUi ui;
    const XMLFile xml(ui, QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const int parseMessages = ui.errors;
    check(xml, xml.root(), std::string(), true, 0);
    require(ui.errors == parseMessages);  // walking a tree by its own paths shows nothing
    xml.hasPath("ZFPART\\FUSE0\\TEXT0\\MASK");
    xml.getValue("ZFPART\\FUSE0\\NAME", 1);
    return 0;
}
