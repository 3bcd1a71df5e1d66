#pragma once
// A small reader for the program's description files: elements and text only.
// Attributes are dropped; declarations, processing instructions, CDATA and
// character entities are not understood. Every problem is shown in an "Error"
// box and reading carries on with whatever is left.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class UserInterface;

class XMLAbstractNode {
public:
    static constexpr uint8_t kNodeKind = 0;
    static constexpr uint8_t kTreeKind = 1;

    XMLAbstractNode(std::string name, uint8_t kind) : name_(std::move(name)), kind_(kind) {}
    XMLAbstractNode(const XMLAbstractNode&) = delete;
    XMLAbstractNode& operator=(const XMLAbstractNode&) = delete;

    // Debugging dump of the subtree, one line per element.
    virtual void print(std::ostream& out = std::cout) const = 0;
    virtual ~XMLAbstractNode() = default;

    const std::string& name() const { return name_; }
    uint8_t kind() const { return kind_; }
    bool isTree() const { return kind_ == kTreeKind; }

private:
    friend class XMLTree;
    virtual void printAt(std::ostream& out, int depth) const = 0;

    std::string name_;
    uint8_t kind_;
};

// An element holding text.
class XMLNode final : public XMLAbstractNode {
public:
    XMLNode(std::string name, std::string value) : XMLAbstractNode(std::move(name), kNodeKind), value_(std::move(value)) {}

    void print(std::ostream& out = std::cout) const override { printAt(out, 0); }
    // The raw text between the tags after cleaning: not trimmed, not decoded.
    const std::string& value() const { return value_; }

private:
    void printAt(std::ostream& out, int depth) const override;

    std::string value_;
};

// An element with child elements, in document order; names may repeat.
class XMLTree final : public XMLAbstractNode {
public:
    explicit XMLTree(std::string name) : XMLAbstractNode(std::move(name), kTreeKind) {}

    void print(std::ostream& out = std::cout) const override { printAt(out, 0); }

    void addChild(std::unique_ptr<XMLAbstractNode> child) { children_.push_back(std::move(child)); }
    bool hasChild(std::string_view name) const { return child(name) != nullptr; }
    // First child of that name, or null.
    const XMLAbstractNode* child(std::string_view name) const { return child(name, 0); }
    // The n-th child of that name counting from 0, or null.
    const XMLAbstractNode* child(std::string_view name, int n) const;
    const std::vector<std::unique_ptr<XMLAbstractNode>>& children() const { return children_; }

private:
    void printAt(std::ostream& out, int depth) const override;

    std::vector<std::unique_ptr<XMLAbstractNode>> children_;
};

// One document: the elements under a tree named "root". Paths name elements
// below "root", joined by a backslash, e.g. ZFPART\FUSE0\NAME.
class XMLFile {
public:
    // Elements nested deeper than this are read past but not kept (one
    // message), so a hostile file cannot make the tree arbitrarily deep.
    static constexpr int kMaxDepth = 256;

    // Reads and parses the file; problems are reported through ui.
    XMLFile(const QString& fileName, UserInterface& ui);
    // Parses content as if it had been read from a file.
    XMLFile(UserInterface& ui, const QByteArray& content);
    ~XMLFile();
    XMLFile(const XMLFile&) = delete;
    XMLFile& operator=(const XMLFile&) = delete;

    // True when each step names a child of the element reached so far and
    // every element before the last step holds elements. Shows nothing.
    bool hasPath(std::string_view path) const;
    // The text of the element at the path; with index > 0 the last step takes
    // the index-th element of its name (the first when there are fewer).
    // Problems are reported and give the empty text.
    std::string getValue(std::string_view path, int index = 0) const;
    QString getText(std::string_view path, int index = 0) const { return QString::fromStdString(getValue(path, index)); }

    const XMLTree& root() const { return *root_; }

private:
    void parse(const QByteArray& content);

    UserInterface& ui_;
    std::unique_ptr<XMLTree> root_;
};
