#pragma once
// A database object as the registries' robots read it: "attribute: value" lines in order, a value
// continued on lines that start with a blank, a tab or "+", objects separated by an empty line.
// The model keeps every attribute in its order with its continuation lines, so an object read
// from a file or a WHOIS answer is written back as it was given.
#include <QString>
#include <QStringList>
#include <vector>

struct RpslAttribute {
    QString name;  // lower case; as it stood when malformed (empty: a line without a colon)
    QString value; // the value's lines joined by "\n", each without its continuation mark
    int line = 0;  // the line it started on in the text read (1-based), 0 when made otherwise
    // A line that is no attribute: no name before a colon, or a name of other characters.
    bool malformed = false;

    // The value without end-of-line comments ("#" to the end of each line), its lines joined
    // by one blank and runs of blanks made one.
    QString Clean() const;
    // The comments of the value's lines, without their "#", in order.
    QStringList Comments() const;
    QStringList Lines() const { return value.split('\n'); }
};

class RpslObject {
public:
    RpslObject() = default;
    explicit RpslObject(std::vector<RpslAttribute> attributes)
        : attributes(std::move(attributes)) {}

    std::vector<RpslAttribute> attributes;

    // The first attribute's name: the object's class; empty for an empty object.
    const QString& ClassName() const;
    // The value of the first attribute (clean): the object's name as its class attribute gives it.
    QString ClassValue() const;
    bool Has(const QString& name) const;
    // The attributes called `name`, in order.
    std::vector<const RpslAttribute*> All(const QString& name) const;
    // The clean value of the first attribute called `name`; empty when there is none.
    QString First(const QString& name) const;
    bool operator==(const RpslObject& other) const;
};

// The objects of a text (a file, a message body, a WHOIS answer's object part). Lines starting
// with "%" or "#" between objects are comments and skipped; a line of blanks inside an object is
// an empty continuation line (an OpenPGP armour's empty line), so only a truly empty line ends an
// object. CR LF, LF and lone CR line ends are read.
std::vector<RpslObject> ParseObjects(const QString& text);

// The object's lines as they are written and mailed: "name:" padded to 16 columns, then the
// value; a continuation line indented to the value's column, or "+" when it is empty. No line
// ends in a blank.
QStringList ObjectLines(const RpslObject& object);
void AppendAttributeLines(const RpslAttribute& attribute, QStringList& lines);
// The lines joined, each followed by "\n".
QString ObjectText(const RpslObject& object);
