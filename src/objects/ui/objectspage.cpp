#include "objects/ui/objectspage.h"

#include "app/ui/form1.h"
#include "app/ui/helptopics.h"
#include "app/ui/pageparts.h"
#include "app/ui/statusline.h"
#include "editing/ui/cryptdlg.h"
#include "objects/builtinrules.h"
#include "objects/objectcheck.h"
#include "objects/objectrecords.h"
#include "objects/objectsigning.h"
#include "objects/objecttemplate.h"
#include "objects/ui/attributetable.h"
#include "objects/ui/keyimportdlg.h"
#include "objects/ui/messageview.h"
#include "objects/whoisfetch.h"
#include "platform/exception.h"
#include "platform/guard.h"
#include "platform/messageboxes.h"
#include "store/ui/storebehaviour.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
QPushButton* NewButton(QWidget* parent, const char* name, const QString& caption,
                       const QString& hint) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAccessibleName(QString(caption).remove('&').remove("..."));
    button->setToolTip(hint);
    button->setAutoDefault(false);
    return button;
}

// A small button of the attribute table's row, as wide as its caption.
QToolButton* NewRowButton(QWidget* parent, const char* name, const QString& caption,
                          const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setText(caption);
    button->setObjectName(name);
    button->setAccessibleName(QString(caption).remove('&'));
    button->setToolTip(hint);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

// A column without margins of its own.
QVBoxLayout* TightColumn(QWidget* owner, int spacing) {
    auto* column = new QVBoxLayout(owner);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(spacing);
    return column;
}

// A label and the control it names, for the layout and for assistive technology.
QLabel* LabelFor(QWidget* control, const QString& caption, const QString& accessible) {
    auto* label = new QLabel(caption, control->parentWidget());
    label->setBuddy(control);
    control->setAccessibleName(accessible);
    return label;
}

QColor VerdictColour(CheckVerdict verdict) {
    switch (verdict) {
    case CheckVerdict::Error:
        return QColor(0xb0, 0x00, 0x00);
    case CheckVerdict::Warning:
        return QColor(0x8a, 0x5a, 0x00);
    case CheckVerdict::Notice:
        return QColor(0x00, 0x3c, 0x8a);
    case CheckVerdict::Ok:
        break;
    }
    return QColor(0x00, 0x70, 0x00);
}

// The crypt methods whose hashes a registry's maintainers may name.
std::vector<CryptMethod> HashMethods(const Registry& registry) {
    std::vector<CryptMethod> methods;
    if (registry.authSchemes.contains("BCRYPT-PW")) methods.push_back(CryptMethod::Bcrypt);
    if (registry.authSchemes.contains("MD5-PW")) methods.push_back(CryptMethod::Md5);
    return methods;
}

QString SchemeOf(CryptMethod method) {
    return method == CryptMethod::Bcrypt ? "BCRYPT-PW" : "MD5-PW";
}
} // namespace

TObjectsPage::TObjectsPage(TForm1& form, const TStore& store, QWidget* parent)
    : QWidget(parent), form_(form), store_(store) {
    setObjectName("ObjectsPage");
    BuildControls();
    if (const auto known = KnownRegistries()) registries_ = known.Value();
    {
        const QSignalBlocker quiet(RegistryBox);
        for (const Registry& r : registries_)
            RegistryBox->addItem(r.name, r.id);
    }
    Wire();
    ChooseRegistry(0);
}

TObjectsPage::~TObjectsPage() {
    if (fetching_) fetching_->Cancel();
}

void TObjectsPage::BuildControls() {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(6, 6, 6, 4);
    page->setSpacing(4);

    // Registry, class and action.
    auto* top = new QHBoxLayout;
    RegistryBox = new QComboBox(this);
    RegistryBox->setObjectName("ObjectRegistryBox");
    RegistryBox->setToolTip("The registry whose robot the object is mailed to.");
    ClassBox = new QComboBox(this);
    ClassBox->setObjectName("ObjectClassBox");
    ClassBox->setToolTip("The kind of database object.");
    // Alt+F, Alt+H (the menu bar) and Alt+U (the first-start bar) belong to the window: the
    // page's keys are others, or a menu would not open while the page shows.
    top->addWidget(LabelFor(RegistryBox, "&Registry:", "Registry"));
    top->addWidget(RegistryBox);
    top->addWidget(LabelFor(ClassBox, "Cla&ss:", "Class"));
    top->addWidget(ClassBox);
    top->addStretch(1);
    auto* actions = new QButtonGroup(this);
    const std::tuple<QRadioButton**, const char*, const char*> radios[] = {
        {&CreateRadio, "ObjectCreateRadio", "&Create"},
        {&ModifyRadio, "ObjectModifyRadio", "&Modify"},
        {&DeleteRadio, "ObjectDeleteRadio", "&Delete"}};
    for (auto [radio, name, caption] : radios) {
        *radio = new QRadioButton(caption, this);
        (*radio)->setObjectName(name);
        (*radio)->setAccessibleName(QString(caption).remove('&'));
        actions->addButton(*radio);
        top->addWidget(*radio);
    }
    CreateRadio->setChecked(true);
    DeleteRadio->setToolTip("Deletes the object; the reason is asked for when it is mailed.");
    page->addLayout(top);

    // The robot, source and WHOIS server of another IRRd.
    OtherRegistryRow = new QWidget(this);
    OtherRegistryRow->setObjectName("ObjectOtherRegistry");
    auto* other = new QHBoxLayout(OtherRegistryRow);
    other->setContentsMargins(0, 0, 0, 0);
    RobotEdit = new QLineEdit(OtherRegistryRow);
    RobotEdit->setObjectName("ObjectRobotEdit");
    RobotEdit->setToolTip("The robot's mailbox, as auto-dbm@example.net.");
    SourceEdit = new QLineEdit(OtherRegistryRow);
    SourceEdit->setObjectName("ObjectSourceEdit");
    SourceEdit->setToolTip("The source: of the registry's objects.");
    SourceEdit->setMaximumWidth(80);
    WhoisEdit = new QLineEdit(OtherRegistryRow);
    WhoisEdit->setObjectName("ObjectWhoisEdit");
    WhoisEdit->setToolTip("The registry's WHOIS server, HOST[:PORT], for Fetch.");
    other->addWidget(LabelFor(RobotEdit, "Ro&bot:", "Robot"));
    other->addWidget(RobotEdit, 2);
    // Every letter of "Source" is another control's Alt key on this page (or the setup bar's):
    // the field is reached by Tab from Robot.
    other->addWidget(LabelFor(SourceEdit, "Source:", "Source"));
    other->addWidget(SourceEdit, 1);
    other->addWidget(LabelFor(WhoisEdit, "&WHOIS:", "WHOIS server"));
    other->addWidget(WhoisEdit, 2);
    OtherRegistryRow->hide();
    page->addWidget(OtherRegistryRow);

    // The key, Fetch and the record.
    auto* keyRow = new QHBoxLayout;
    KeyBox = new QComboBox(this);
    KeyBox->setObjectName("ObjectKeyBox");
    KeyBox->setEditable(true);
    KeyBox->setInsertPolicy(QComboBox::NoInsert);
    KeyBox->setToolTip("The object's primary key. The list holds the objects created so far; "
                       "a key whose record is kept loads it.");
    FetchButton = NewButton(this, "ObjectFetchButton", "F&etch",
                            "Asks the registry's WHOIS server for the object as it stands.");
    SaveButton = NewButton(this, "ObjectSaveButton", "Sa&ve",
                           "Keeps the object as its record, objects/CLASS/KEY.txt.");
    MakeButton = NewButton(this, "ObjectMakeButton", "Ma&ke...",
                           "Makes a password hash for the maintainer's auth: line.");
    ImportKeyButton = NewButton(this, "ObjectImportKeyButton", "&Import key...",
                                "Fills key-cert and certif: from a key of your keyring.");
    keyRow->addWidget(LabelFor(KeyBox, "Ke&y:", "Key"));
    keyRow->addWidget(KeyBox, 1);
    keyRow->addWidget(FetchButton);
    keyRow->addWidget(SaveButton);
    keyRow->addWidget(MakeButton);
    keyRow->addWidget(ImportKeyButton);
    page->addLayout(keyRow);

    // The attributes beside the object's text and the check's lines.
    auto* middle = new QSplitter(Qt::Horizontal, this);
    middle->setObjectName("ObjectSplitter");
    middle->setChildrenCollapsible(false);
    auto* editor = new QWidget(middle);
    auto* editorColumn = TightColumn(editor, 2);
    Attributes = new TAttributeTable(editor);
    Attributes->setObjectName("ObjectAttributes");
    Attributes->setAccessibleName("Attributes");
    Attributes->setToolTip("The object's attributes; mandatory ones in bold. Enter in a value "
                           "starts a continuation line.");
    editorColumn->addWidget(Attributes, 1);
    auto* rowButtons = new QHBoxLayout;
    rowButtons->setSpacing(2);
    AddAttributeBox = new QComboBox(editor);
    AddAttributeBox->setObjectName("ObjectAddAttributeBox");
    AddAttributeBox->setToolTip("The attribute Add puts in its place in the template.");
    AddButton = NewRowButton(editor, "ObjectAddButton", "&Add", "Adds the attribute chosen.");
    RemoveButton =
        NewRowButton(editor, "ObjectRemoveButton", "Rem&ove", "Removes the current attribute.");
    UpButton = NewRowButton(editor, "ObjectUpButton", "U&p", "Moves the current attribute up.");
    DownButton =
        NewRowButton(editor, "ObjectDownButton", "Dow&n", "Moves the current attribute down.");
    rowButtons->addWidget(AddAttributeBox, 1);
    for (QToolButton* b : {AddButton, RemoveButton, UpButton, DownButton}) {
        b->setMinimumHeight(AddAttributeBox->sizeHint().height());
        rowButtons->addWidget(b);
    }
    // Its label above it: a screen reader speaks a list box by its label and its value.
    editorColumn->addWidget(LabelFor(AddAttributeBox, "Attribute to add:", "Attribute to add"));
    editorColumn->addLayout(rowButtons);

    auto* shown = new QSplitter(Qt::Vertical, middle);
    shown->setChildrenCollapsible(false);
    ObjectText = new QPlainTextEdit(shown);
    ObjectText->setObjectName("ObjectText");
    ObjectText->setAccessibleName("Object text as mailed");
    ObjectText->setReadOnly(true);
    ObjectText->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSize(font().pointSize());
    ObjectText->setFont(mono);
    CheckList = new QListWidget(shown);
    CheckList->setObjectName("ObjectCheckList");
    CheckList->setAccessibleName("Check");
    CheckList->setToolTip("What the check before mailing says about the object.");
    CheckList->setWordWrap(true);
    CheckList->setResizeMode(QListView::Adjust);
    CheckList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* messageBox = new QWidget(shown);
    auto* messageColumn = TightColumn(messageBox, 1);
    MessageList = new QListWidget(messageBox);
    MessageList->setObjectName("ObjectMessageList");
    MessageList->setToolTip("The objects Add to Message collected; Mail sends them together. "
                            "Delete takes the chosen one out.");
    messageColumn->addWidget(
        LabelFor(MessageList, "Ob&jects in the next message:", "Objects in the next message"));
    messageColumn->addWidget(MessageList, 1);
    shownColumn_ = shown;
    // The three share little height: each may shrink to two lines.
    for (QWidget* w : std::initializer_list<QWidget*>{ObjectText, CheckList, MessageList})
        w->setMinimumHeight(2 * fontMetrics().height() + 10);
    middle->setStretchFactor(0, 1);
    middle->setStretchFactor(1, 1);
    page->addWidget(middle, 1);

    // The message.
    auto* bottom = new QHBoxLayout;
    AddToMessageButton = NewButton(this, "ObjectAddToMessageButton", "Add &to Message",
                                   "Collects the object into the message.");
    ShowMessageButton = NewButton(this, "ObjectShowMessageButton", "Show Messa&ge",
                                  "Shows the message as it will be mailed.");
    MailButton = NewButton(this, "ObjectMailButton", "Mai&l",
                           "Checks the message, signs it and mails it to the registry's "
                           "robot.");
    bottom->addWidget(AddToMessageButton);
    bottom->addWidget(ShowMessageButton);
    bottom->addWidget(MailButton);
    bottom->addStretch(1);
    page->addLayout(bottom);
    // The status line and progress bar as on the registration pages.
    const StatusRow statusRow = MakeStatusRow(this, "ObjectStatus", "ObjectMailProgress");
    Status = statusRow.status;
    Progress = statusRow.progress;
    Status->setText(QString());
    page->addLayout(statusRow.row);

    SetHelpTopic(this, ObjectsPageHelpTopic);
    for (QWidget* w : {static_cast<QWidget*>(Attributes), static_cast<QWidget*>(ObjectText),
                       static_cast<QWidget*>(CheckList), static_cast<QWidget*>(AddAttributeBox),
                       static_cast<QWidget*>(MakeButton), static_cast<QWidget*>(ImportKeyButton)})
        SetHelpTopic(w, ObjectEditorHelpTopic);
}

void TObjectsPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (sized_) return;
    sized_ = true;
    // Once laid out: most room for the text, then the check's lines; the message's list is
    // mostly short.
    QTimer::singleShot(0, this, [this] {
        const int height = shownColumn_->height();
        shownColumn_->setSizes({height * 4 / 10, height * 35 / 100, height / 4});
    });
}

bool TObjectsPage::eventFilter(QObject* watched, QEvent* event) {
    // Delete in the message's list takes the chosen object out of the message.
    if (watched == MessageList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        TakeOut(MessageList->currentRow());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

std::optional<MessageObject> TObjectsPage::TakeOut(int row) {
    if (row < 0 || row >= int(message_.size())) return std::nullopt;
    MessageObject taken = message_[size_t(row)];
    message_.erase(message_.begin() + row);
    delete MessageList->takeItem(row);
    return taken;
}

void TObjectsPage::TakeBack(int row) {
    // The object goes back into the editor, to be changed and added again.
    const std::optional<MessageObject> taken = TakeOut(row);
    if (!taken || !rules_ || !rules_->Class(taken->object.ClassName())) return;
    {
        const QSignalBlocker quiet(ClassBox);
        ClassBox->setCurrentIndex(ClassBox->findText(taken->object.ClassName()));
    }
    ChooseClass(taken->object.ClassName());
    (taken->action == ObjectAction::Delete   ? DeleteRadio
     : taken->action == ObjectAction::Modify ? ModifyRadio
                                             : CreateRadio)
        ->setChecked(true);
    ShowObject(taken->object);
    SetStatus("Took " + ObjectTitle(taken->object, *rules_) + " out of the message.");
}

void TObjectsPage::Wire() {
    auto guarded = [this](void (TObjectsPage::*handler)()) {
        return [this, handler] { Guarded([&] { (this->*handler)(); }); };
    };
    connect(RegistryBox, &QComboBox::activated, this,
            [this](int index) { Guarded([&] { ChooseRegistry(index); }); });
    for (QLineEdit* edit : {RobotEdit, SourceEdit, WhoisEdit})
        connect(edit, &QLineEdit::editingFinished, this,
                [this] { Guarded([&] { ChooseRegistry(RegistryBox->currentIndex()); }); });
    connect(ClassBox, &QComboBox::activated, this,
            [this](int) { Guarded([&] { ChooseClass(ClassBox->currentText()); }); });
    for (QRadioButton* radio : {CreateRadio, ModifyRadio, DeleteRadio})
        connect(radio, &QRadioButton::toggled, this, [this](bool on) {
            if (on) Refresh();
        });
    connect(KeyBox, &QComboBox::textActivated, this,
            [this](const QString& key) { Guarded([&] { KeyEdited(key); }); });
    connect(KeyBox->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& key) { Guarded([&] { KeyEdited(key); }); });
    connect(Attributes, &TAttributeTable::ObjectEdited, this, &TObjectsPage::Refresh);
    connect(FetchButton, &QPushButton::clicked, this, guarded(&TObjectsPage::FetchClick));
    connect(SaveButton, &QPushButton::clicked, this, guarded(&TObjectsPage::SaveClick));
    connect(MakeButton, &QPushButton::clicked, this, guarded(&TObjectsPage::MakeClick));
    connect(ImportKeyButton, &QPushButton::clicked, this, guarded(&TObjectsPage::ImportKeyClick));
    connect(AddButton, &QToolButton::clicked, this, [this] {
        if (!AddAttributeBox->currentText().isEmpty())
            Attributes->AddAttribute(AddAttributeBox->currentText());
        Attributes->setFocus();
    });
    connect(RemoveButton, &QToolButton::clicked, this, [this] { Attributes->RemoveCurrent(); });
    connect(UpButton, &QToolButton::clicked, this, [this] { Attributes->MoveCurrent(-1); });
    connect(DownButton, &QToolButton::clicked, this, [this] { Attributes->MoveCurrent(+1); });
    MessageList->installEventFilter(this);
    connect(MessageList, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { Guarded([&] { TakeBack(MessageList->row(item)); }); });
    connect(AddToMessageButton, &QPushButton::clicked, this,
            guarded(&TObjectsPage::AddToMessageClick));
    connect(ShowMessageButton, &QPushButton::clicked, this,
            guarded(&TObjectsPage::ShowMessageClick));
}

void TObjectsPage::ReadSettings(const QString& settingsFile) {
    readRegistry_ = ReadObjectSettings(settingsFile).registry;
    if (readRegistry_.isEmpty()) return;
    const Result<Registry> named = RegistryNamed(readRegistry_);
    if (!named) {
        SetStatus(named.Error());
        return;
    }
    for (int i = 0; i < int(registries_.size()); ++i)
        if (registries_[size_t(i)].id == named->id) {
            RegistryBox->setCurrentIndex(i);
            if (named->id == "irrd") {
                RobotEdit->setText(named->robot);
                SourceEdit->setText(named->source);
            }
            ChooseRegistry(i);
        }
}

void TObjectsPage::WriteSettings(const QString& settingsFile) {
    const QString chosen = registry_.id == "irrd" ? "irrd:" + RobotEdit->text().trimmed() + ":" +
                                                        SourceEdit->text().trimmed()
                                                  : registry_.Argument();
    if (chosen == readRegistry_ ||
        (readRegistry_.isEmpty() && RegistryBox->currentIndex() == 0 && registry_.id != "irrd"))
        return;
    // Another IRRd is kept once its mailbox and source name one.
    if (!RegistryNamed(chosen)) return;
    if (const Done written = WriteObjectRegistry(settingsFile, chosen); !written)
        throw Exception(written.Error());
    readRegistry_ = chosen;
}

void TObjectsPage::ChooseRegistry(int index) {
    if (index < 0 || index >= int(registries_.size())) return;
    const QString oldSource = registry_.source;
    registry_ = registries_[size_t(index)];
    const bool other = registry_.id == "irrd";
    OtherRegistryRow->setVisible(other);
    if (other) {
        registry_.robot = RobotEdit->text().trimmed();
        registry_.source = SourceEdit->text().trimmed().toUpper();
        registry_.whois = WhoisEdit->text().trimmed();
    }
    const Result<std::shared_ptr<const RuleTable>> table = BuiltinRules(registry_.rules);
    if (!table) {
        SetStatus(table.Error());
        return;
    }
    const bool sameRules = rules_ && rules_ == table.Value();
    rules_ = table.Value();
    const QString wanted = className_.isEmpty() ? QString("domain") : className_;
    {
        const QSignalBlocker quiet(ClassBox);
        ClassBox->clear();
        for (const ClassRules& c : rules_->Classes())
            ClassBox->addItem(c.name);
        ClassBox->setCurrentIndex(std::max(0, ClassBox->findText(wanted)));
    }
    const std::vector<CryptMethod> methods = HashMethods(registry_);
    MakeButton->setEnabled(!methods.empty());
    if (sameRules && className_ == ClassBox->currentText()) {
        // The same object under another registry: its source follows the registry's.
        RpslObject object = Attributes->Object();
        for (RpslAttribute& a : object.attributes)
            if (a.name == "source" && (a.Clean().isEmpty() || a.Clean() == oldSource))
                a.value = registry_.source;
        ShowObject(object);
    } else {
        ChooseClass(ClassBox->currentText());
    }
}

void TObjectsPage::ChooseClass(const QString& className) {
    const ClassRules* rules = rules_ ? rules_->Class(className) : nullptr;
    if (!rules) return;
    className_ = className;
    {
        const QSignalBlocker quiet(AddAttributeBox);
        AddAttributeBox->clear();
        for (const AttributeRule& a : rules->attributes)
            if (a.Mailed()) AddAttributeBox->addItem(a.name);
    }
    ImportKeyButton->setEnabled(className == "key-cert");
    LoadNameList();
    {
        const QSignalBlocker quiet(KeyBox);
        KeyBox->setEditText(QString());
    }
    ShowObject(ObjectTemplate(*rules, registry_));
}

void TObjectsPage::ShowObject(const RpslObject& object) {
    Attributes->SetObject(object, rules_ ? rules_->Class(className_) : nullptr);
    Refresh();
}

void TObjectsPage::LoadNameList() {
    const Result<QStringList> names = ObjectNames(className_);
    const QString text = KeyBox->currentText();
    const QSignalBlocker quiet(KeyBox);
    KeyBox->clear();
    if (names) KeyBox->addItems(names.Value());
    KeyBox->setCurrentIndex(-1);
    KeyBox->setEditText(text);
}

RpslObject TObjectsPage::CurrentObject() const {
    return Attributes->Object();
}

ObjectAction TObjectsPage::CurrentAction() const {
    return DeleteRadio->isChecked()   ? ObjectAction::Delete
           : ModifyRadio->isChecked() ? ObjectAction::Modify
                                      : ObjectAction::Create;
}

std::optional<bool> TObjectsPage::KeyHeld(const QString& keyId) {
    // The keyring is asked once per key while the page lives, not at every keystroke.
    const QString id = keyId.toUpper();
    if (!keysHeld_.contains(id)) keysHeld_.insert(id, SecretKeyHeld(id));
    return keysHeld_.value(id);
}

void TObjectsPage::Refresh() {
    if (!rules_ || refreshing_) return;
    refreshing_ = true;
    const RpslObject object = CurrentObject();
    const MessageObject shown{object, CurrentAction(), QString()};
    ObjectText->setPlainText(MailedObjectLines(shown, *rules_).join('\n'));
    CheckOptions options;
    options.action = CurrentAction();
    options.secretKeyHeld = [this](const QString& keyId) { return KeyHeld(keyId); };
    ShowCheckLines(CheckObject(object, registry_, *rules_, options));
    // The key box follows the object's name as typed in the editor.
    const QString key = ObjectKey(object, *rules_);
    if (!KeyBox->lineEdit()->hasFocus() && KeyBox->currentText() != key) {
        const QSignalBlocker quiet(KeyBox);
        KeyBox->setEditText(key);
    }
    refreshing_ = false;
}

void TObjectsPage::ShowCheckLines(const ObjectCheckLines& lines, const QString& title,
                                  bool append) {
    if (!append) CheckList->clear();
    if (!title.isEmpty()) CheckList->addItem(title);
    for (const ObjectCheckLine& line : lines) {
        auto* item = new QListWidgetItem(line.Rendered(), CheckList);
        item->setForeground(VerdictColour(line.verdict));
    }
    if (append) CheckList->scrollToBottom();
}

void TObjectsPage::SetStatus(const QString& text) {
    Status->setText(text);
}

void TObjectsPage::SetMessageLocked(bool locked) {
    for (QWidget* w : std::initializer_list<QWidget*>{MailButton, AddToMessageButton, MessageList})
        w->setEnabled(!locked);
}

void TObjectsPage::KeyEdited(const QString& key) {
    if (!rules_) return;
    // A key whose record is kept loads it, as a name of the record store does.
    if (const Result<RpslObject> record = LoadObjectRecord(className_, key.trimmed());
        record && !key.trimmed().isEmpty()) {
        ShowObject(record.Value());
        SetStatus("Loaded the record of " + className_ + " " + key.trimmed() + ".");
        return;
    }
    // Else the key is the object's name, where the class's name is one attribute.
    const ClassRules* rules = rules_->Class(className_);
    int keyAttributes = 0;
    for (const AttributeRule& a : rules->attributes)
        keyAttributes += a.key ? 1 : 0;
    if (keyAttributes > 1 || Attributes->rowCount() == 0 || Attributes->NameAt(0) != className_)
        return;
    Attributes->SetValue(0, key.trimmed());
}

void TObjectsPage::FetchClick() {
    if (fetching_) {
        fetching_->Cancel();
        fetching_.reset();
        FetchButton->setText("F&etch");
        SetStatus("Fetch stopped.");
        return;
    }
    const QString key = KeyBox->currentText().trimmed();
    if (key.isEmpty()) {
        SetStatus("Type the key of the object to fetch.");
        return;
    }
    const Result<FetchRequest> request = MakeFetchRequest(
        registry_, className_, key, QString(), ReadObjectSettings(form_.SettingsFile).whoisServer);
    if (!request) {
        SetStatus(request.Error());
        return;
    }
    fetching_ = CancelToken();
    FetchButton->setText("Stop F&etch");
    SetStatus("Asking " + request->server.host + " for " + className_ + " " + key + "...");
    StartFetch(this, *fetching_, request.Value(), rules_,
               [this](Result<RpslObject> fetched) { Guarded([&] { FetchDone(fetched); }); });
}

void TObjectsPage::FetchDone(Result<RpslObject> fetched) {
    fetching_.reset();
    FetchButton->setText("F&etch");
    if (!fetched) {
        SetStatus(fetched.Error());
        return;
    }
    ShowObject(fetched.Value());
    // A fetched object is one that exists: it is modified or deleted, not created.
    if (CreateRadio->isChecked()) ModifyRadio->setChecked(true);
    SetStatus("Fetched " + ObjectTitle(fetched.Value(), *rules_) + ".");
}

void TObjectsPage::SaveClick() {
    const RpslObject object = CurrentObject();
    if (const Done saved = SaveObjectRecord(object, *rules_); !saved) {
        Boxes().Error(saved.Error());
        return;
    }
    SetStatus("Kept the record of " + ObjectTitle(object, *rules_) + ".");
}

void TObjectsPage::MakeClick() {
    const std::vector<CryptMethod> methods = HashMethods(registry_);
    if (methods.empty()) return;
    TCryptDlg dialog(methods, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const QString value = SchemeOf(dialog.Method()) + " " + dialog.Hash();
    const int row = Attributes->currentRow();
    if (row >= 0 && Attributes->NameAt(row) == "auth")
        Attributes->SetValue(row, value);
    else
        Attributes->AddAttribute("auth", value);
}

void TObjectsPage::ImportKeyClick() {
    TKeyImportDlg dialog(this);
    dialog.Load(store_.Settings().openPgpKey);
    if (dialog.exec() != QDialog::Accepted || dialog.Fingerprint().isEmpty()) return;
    const Result<std::vector<RpslAttribute>> certif = KeyCertFromKeyring(dialog.Fingerprint());
    if (!certif) {
        Boxes().Error(certif.Error());
        return;
    }
    // The key's name and lines first, then what the object held besides them.
    RpslObject object(certif.Value());
    for (const RpslAttribute& a : CurrentObject().attributes)
        if (a.name != "key-cert" && a.name != "certif") object.attributes.push_back(a);
    ShowObject(object);
}

std::optional<QString> TObjectsPage::AskDeleteReason() {
    bool ok = false;
    const QString reason = QInputDialog::getText(this, "Delete",
                                                 "Why is " + ObjectTitle(CurrentObject(), *rules_) +
                                                     " deleted? (sent as delete:)",
                                                 QLineEdit::Normal, QString(), &ok);
    if (!ok || reason.trimmed().isEmpty()) return std::nullopt;
    return reason.trimmed();
}

std::optional<MessageObject> TObjectsPage::EditorObject() {
    MessageObject m{CurrentObject(), CurrentAction(), QString()};
    m.action = ActionOf(m.object, m.action);
    if (m.action == ObjectAction::Delete && !m.object.Has("delete")) {
        const std::optional<QString> reason = AskDeleteReason();
        if (!reason) return std::nullopt;
        m.deleteReason = *reason;
    }
    return m;
}

void TObjectsPage::AddToMessageClick() {
    const std::optional<MessageObject> m = EditorObject();
    if (!m) return;
    message_.push_back(*m);
    MessageList->addItem(ActionWord(m->action) + " " + ObjectTitle(m->object, *rules_));
    SetStatus(QString("The message holds %1 %2.")
                  .arg(message_.size())
                  .arg(message_.size() == 1 ? "object" : "objects"));
}

std::vector<MessageObject> TObjectsPage::ObjectsToMail() {
    if (!message_.empty()) return message_;
    if (const std::optional<MessageObject> m = EditorObject()) return {*m};
    return {};
}

void TObjectsPage::MessageSent() {
    message_.clear();
    MessageList->clear();
    LoadNameList();
}

void TObjectsPage::ShowMessageClick() {
    std::vector<MessageObject> objects = message_;
    if (objects.empty())
        objects.push_back(MessageObject{CurrentObject(), CurrentAction(), "(asked when mailed)"});
    QStringList lines{"To: " + registry_.robot,
                      "Subject: " + ObjectMessageSubject(objects, *rules_), QString()};
    const std::optional<QString> password =
        registry_.TakesPasswords() ? std::optional<QString>("(asked when mailed, unless signed)")
                                   : std::nullopt;
    lines << ObjectMessageBody(password, MessageObjectLines(objects, *rules_));
    TMessageView view(lines, this);
    view.exec();
}
