#include "chipdb/Xmlparser.h"

#include "app/UserInterface.h"

#include <QFile>
#include <unordered_map>

namespace {

using std::string;
using std::string_view;
constexpr auto npos = string::npos;

bool isWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One blank, then every word of the content followed by one blank: all white
// space shrinks to single blanks.
string wordsOf(const QByteArray& content)
{
    string text;
    text.reserve(static_cast<std::size_t>(content.size()) + 2);
    text.push_back(' ');
    const char* p = content.constData();
    const char* const end = p + content.size();
    while (p < end) {
        while (p < end && isWhite(*p))
            ++p;
        const char* word = p;
        while (p < end && !isWhite(*p))
            ++p;
        if (p > word) {
            text.append(word, static_cast<std::size_t>(p - word));
            text.push_back(' ');
        }
    }
    return text;
}

// Removes "<!--" ... "-->"; an unclosed comment takes the rest of the text.
// Each search starts where the last comment began, so what is searched is
// always untouched text and one pass over it is enough.
string withoutComments(const string& text, UserInterface& ui)
{
    string out;
    out.reserve(text.size());
    std::size_t i = 0;
    for (;;) {
        const std::size_t open = text.find("<!--", i);
        if (open == npos) {
            out.append(text, i, npos);
            break;
        }
        out.append(text, i, open - i);
        const std::size_t close = text.find("-->", open);
        if (close == npos) {
            ui.showError(QStringLiteral(
                "Unclosed comment tag encountered! Comment start-tag '<!--' found, but no closing '-->'."));
            break;
        }
        i = close + 3;
    }
    return out;
}

// Inside every tag: no blanks after "<", attributes dropped, and a blank
// before the ">" of an end tag gone. An empty-element tag keeps its slash.
string withCleanTags(const string& text)
{
    string out;
    out.reserve(text.size());
    std::size_t i = 0;
    for (;;) {
        const std::size_t lt = text.find('<', i);
        const std::size_t gt = lt == npos ? npos : text.find('>', lt + 1);
        if (gt == npos) {
            out.append(text, i, npos);
            break;
        }
        out.append(text, i, lt + 1 - i);
        string_view inside(text.data() + lt + 1, gt - lt - 1);
        const std::size_t first = inside.find_first_not_of(' ');
        inside.remove_prefix(first == npos ? inside.size() : first);
        const std::size_t blank = inside.find(' ');
        if (blank == npos) {
            out.append(inside);
        } else {
            out.append(inside.substr(0, blank));
            const std::size_t slash = inside.find('/', blank);
            if (slash != npos) {
                string_view rest = inside.substr(slash + 1);
                const std::size_t kept = rest.find_first_not_of(' ');
                rest.remove_prefix(kept == npos ? rest.size() : kept);
                out.push_back('/');
                out.append(rest);
            }
        }
        out.push_back('>');
        i = gt + 1;
    }
    return out;
}

// Builds the tree from the cleaned text, consuming it from the front by an
// index. The open elements are kept on an explicit stack, so nesting costs no
// call depth; elements below XMLFile::kMaxDepth are still walked (the end tags
// pair up as usual) but not kept, and their problems are not reported again.
// Searches only ever go forwards, so the last search for each end tag is
// remembered: many unclosed elements of one name do not rescan the rest.
class TreeBuilder {
public:
    TreeBuilder(const string& text, UserInterface& ui) : text_(text), ui_(ui) {}

    void build(XMLTree& root)
    {
        frames_.push_back({&root, string(), string()});
        for (;;) {
            const bool kept = frames_.back().tree != nullptr;
            const std::size_t lt = text_.find('<', pos_);
            if (lt == npos || (lt + 1 < text_.size() && text_[lt + 1] == '/')) {
                if (frames_.size() == 1)
                    return;
                closeElement();
                continue;
            }
            const std::size_t gt = text_.find('>', lt);
            if (gt == npos) {
                report(kept, QStringLiteral("Unclosed tag encountered! Tag start token '<' found, but no closing '>'."));
                pos_ = text_.size();
                continue;
            }
            string name = text_.substr(lt + 1, gt - lt - 1);
            pos_ = gt + 1;
            if (name.empty()) {
                report(kept, QStringLiteral("Unnamed tag encountered! No text between '<' and '>'."));
                continue;
            }
            if (name.back() == '/') {
                name.pop_back();
                if (kept)
                    frames_.back().tree->addChild(std::make_unique<XMLNode>(std::move(name), string()));
                continue;
            }
            string endTag = "</" + name + ">";
            const std::size_t end = findEndTag(endTag, name, kept);
            if (end != npos && text_.find('<', pos_) == end) {
                if (kept)
                    frames_.back().tree->addChild(std::make_unique<XMLNode>(name, text_.substr(pos_, end - pos_)));
                pos_ = end + endTag.size();
                continue;
            }
            openElement(std::move(name), std::move(endTag), kept);
        }
    }

private:
    struct Frame {
        XMLTree* tree;  // null below the depth limit
        string name;
        string endTag;
    };

    void openElement(string name, string endTag, bool parentKept)
    {
        XMLTree* tree = nullptr;
        if (parentKept && static_cast<int>(frames_.size()) <= XMLFile::kMaxDepth) {
            auto owned = std::make_unique<XMLTree>(name);
            tree = owned.get();
            frames_.back().tree->addChild(std::move(owned));
        } else if (parentKept && !depthReported_) {
            depthReported_ = true;
            ui_.showError(QStringLiteral("Elements nested deeper than %1 levels encountered! They are skipped.")
                              .arg(XMLFile::kMaxDepth));
        }
        frames_.push_back({tree, std::move(name), std::move(endTag)});
    }

    // The element's children are complete: its end tag is looked for again.
    void closeElement()
    {
        const Frame frame = std::move(frames_.back());
        frames_.pop_back();
        const std::size_t end = findEndTag(frame.endTag, frame.name, frame.tree != nullptr);
        if (end != npos)
            pos_ = end + frame.endTag.size();
    }

    std::size_t findEndTag(const string& endTag, const string& name, bool kept)
    {
        std::size_t found;
        const auto known = lastSearch_.find(endTag);
        if (known != lastSearch_.end() && pos_ >= known->second.from
            && (known->second.found == npos || pos_ <= known->second.found)) {
            found = known->second.found;
        } else {
            found = text_.find(endTag, pos_);
            lastSearch_[endTag] = {pos_, found};
        }
        if (found == npos)
            report(kept, QString::fromStdString("Closing tag not found! Opening tag '<" + name
                                                + ">' found, but not closing '" + endTag + "'."));
        return found;
    }

    void report(bool kept, const QString& text)
    {
        if (kept)
            ui_.showError(text);
    }

    struct Search {
        std::size_t from;
        std::size_t found;
    };

    const string& text_;
    UserInterface& ui_;
    std::size_t pos_ = 0;
    bool depthReported_ = false;
    std::vector<Frame> frames_;
    std::unordered_map<string, Search> lastSearch_;
};

std::vector<string_view> splitPath(string_view path)
{
    std::vector<string_view> steps;
    for (;;) {
        const std::size_t cut = path.find('\\');
        steps.push_back(path.substr(0, cut));
        if (cut == npos)
            return steps;
        path.remove_prefix(cut + 1);
    }
}

void indent(std::ostream& out, int depth)
{
    for (int i = 0; i < depth; ++i)
        out << "  ";
}

} // namespace

const XMLAbstractNode* XMLTree::child(std::string_view name, int n) const
{
    for (const auto& c : children_)
        if (c->name() == name && n-- == 0)
            return c.get();
    return nullptr;
}

void XMLTree::printAt(std::ostream& out, int depth) const
{
    indent(out, depth);
    out << "TREE[\"" << name() << "\"]\n";
    for (const auto& c : children_)
        c->printAt(out, depth + 1);
    indent(out, depth);
    out << ":END[\"" << name() << "\"]\n";
}

void XMLNode::printAt(std::ostream& out, int depth) const
{
    indent(out, depth);
    out << "NODE[\"" << name() << "\"] \"" << value_ << "\"\n";
}

XMLFile::XMLFile(const QString& fileName, UserInterface& ui) : ui_(ui), root_(std::make_unique<XMLTree>("root"))
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        ui_.showError(QStringLiteral("Error opening XML file for input!"));
        parse(QByteArray());
        return;
    }
    parse(file.readAll());
}

XMLFile::XMLFile(UserInterface& ui, const QByteArray& content) : ui_(ui), root_(std::make_unique<XMLTree>("root"))
{
    parse(content);
}

XMLFile::~XMLFile() = default;

void XMLFile::parse(const QByteArray& content)
{
    const string text = withCleanTags(withoutComments(wordsOf(content), ui_));
    TreeBuilder(text, ui_).build(*root_);
}

bool XMLFile::hasPath(std::string_view path) const
{
    const XMLAbstractNode* at = root_.get();
    const std::vector<string_view> steps = splitPath(path);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        at = static_cast<const XMLTree*>(at)->child(steps[i]);
        if (!at)
            return false;
        if (i + 1 == steps.size())
            return true;
        if (!at->isTree())
            return false;
    }
    return false;
}

std::string XMLFile::getValue(std::string_view path, int index) const
{
    const XMLTree* parent = root_.get();
    const std::vector<string_view> steps = splitPath(path);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const QString step = QString::fromUtf8(steps[i].data(), static_cast<qsizetype>(steps[i].size()));
        const XMLAbstractNode* at = parent->child(steps[i]);
        if (!at) {
            ui_.showError(QStringLiteral("Node '%1' not found!").arg(step));
            return {};
        }
        if (i + 1 == steps.size()) {
            if (index > 0)
                if (const XMLAbstractNode* nth = parent->child(steps[i], index))
                    at = nth;
            if (at->isTree()) {
                ui_.showError(QStringLiteral("Node '%1' is not an element!").arg(step));
                return {};
            }
            return static_cast<const XMLNode*>(at)->value();
        }
        if (!at->isTree()) {
            ui_.showError(QStringLiteral("Illegal path: (%1)!")
                              .arg(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()))));
            return {};
        }
        parent = static_cast<const XMLTree*>(at);
    }
    return {};
}
