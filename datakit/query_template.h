#pragma once
// Query templates: a database query as four lists (retrieved fields, WHERE conditions,
// GROUP BY and ORDER BY items), a FROM text and two data-source numbers. The texts are
// expressions that a caller's binder resolves; the condition list becomes a condition
// tree with AND/OR precedence, conditions whose parameters are missing are dropped by
// their mode, and the tree is rendered as SQL WHERE text (MakeWhereClause).
//
// Values are inserted verbatim: quoting and escaping belong to the binder.
//
// Results: 0 for success, else one of the codes below (negative as signed values).

#include <cstdint>

#include "datakit/datakit_export.h"

class XDomWriter;
class XML_Node;
class XMF_Archive;
class XMemoHelper;
class XString;
struct XItemDataDesc;

// ---- Result codes -------------------------------------------------------------------

constexpr int32_t kQueryFailed = static_cast<int32_t>(0x80000001);    // no binder; a text too long
constexpr int32_t kQueryNoField = static_cast<int32_t>(0x80050302);   // empty field list
constexpr int32_t kQueryFieldBody = static_cast<int32_t>(0x80050303); // field without Body
constexpr int32_t kQueryWhereKape = static_cast<int32_t>(0x80050304); // condition without Kape
constexpr int32_t kQueryGroupBody = static_cast<int32_t>(0x80050305); // group item without Body
constexpr int32_t kQueryOrderBody = static_cast<int32_t>(0x80050306); // order item without Body
constexpr int32_t kQueryTreeBuild = static_cast<int32_t>(0x80050309); // brackets wrong, join 0
constexpr int32_t kQueryTreeShape =
    static_cast<int32_t>(0x8005030a); // group of one, leaf without item
constexpr int32_t kQueryNoMuster = static_cast<int32_t>(0x8005030b); // both data-source numbers 0
// Binder result: the value of the expression is not available.
constexpr int32_t kQueryNotAvailable = static_cast<int32_t>(0x80030021);

// ---- Codes of the lists ---------------------------------------------------------------

// List kinds of GetDescWare, ClearWare, AddDesc and GetNextDesc; kind 8 is the tree.
enum : int {
    kQueryFields = 0,
    kQueryWheres = 1,
    kQueryGroups = 2,
    kQueryOrders = 3,
    kQueryTree = 8
};

// Join codes of a condition and of a tree group. Any non-zero code joins; a larger code
// binds tighter, and a group of code 2 is an AND, of any other code an OR.
enum : uint16_t { kJoinOr = 1, kJoinAnd = 2 };

// Tree node states (XWhereTree::code of a decided leaf or group).
constexpr uint32_t kWhereTrue = 0x10000001;
constexpr uint32_t kWhereFalse = 0x10000002;
constexpr uint32_t kWhereDropped = 0x10000003;

// Availability rules (XQueryWhere::mode) for a parameter the binder cannot supply:
// 1 the condition is false, 2 the whole query fails, 3 the condition is true, 4 the
// condition is dropped when its value is supplied, any other the condition is dropped.
enum : uint16_t { kModeFalse = 1, kModeRequired = 2, kModeTrue = 3, kModeUnless = 4 };

// Brackets one condition may open or close: the "(" and ")" texts of a condition
// record hold 16 units, terminator included.
constexpr uint16_t kMaxBrackets = 15;

// ---- List items (texts owned, heap blocks of corekit; null when absent) ---------------

struct XQueryField
{
    XQueryField *next;
    char16_t *body; // expression
    char16_t *name;
    uint16_t type; // value-type code of item data descriptors
    uint16_t size;
    uint16_t mode;
    uint16_t kape;
    char16_t *desc;
};

struct XQueryWhere
{
    XQueryWhere *next;
    char16_t *body; // left expression, may be absent
    char16_t *kape; // value expression, required
    char16_t *name;
    uint16_t pare; // comparison code
    uint16_t join; // join to the next condition
    uint16_t mode; // availability rule
    uint16_t type;
    uint16_t lbox; // "(" before the condition
    uint16_t rbox; // ")" after it
    char16_t *desc;
};

struct XQueryGroup
{
    XQueryGroup *next;
    char16_t *body;
    char16_t *name;
};

struct XQueryOrder
{
    XQueryOrder *next;
    char16_t *body;
    char16_t *name;
    uint32_t mode;
};

// ---- Flat records of AddDesc and GetNextDesc (fixed text areas, units) ---------------

struct XFieldRecord_t
{
    char16_t body[1024];
    char16_t name[32];
    int32_t type, size, mode, kape;
    char16_t desc[2048];
};

struct XWhereRecord_t
{
    char16_t lbox[16]; // adding: the "(" in it are counted; reading: that many "("
    char16_t body[1024];
    int32_t pare;
    char16_t kape[1024];
    char16_t rbox[16]; // ")" likewise
    int32_t join, mode;
    char16_t name[32];
};

struct XGroupRecord_t
{
    char16_t body[1024];
    char16_t name[32];
};

struct XOrderRecord_t
{
    char16_t body[1024];
    int32_t mode;
    char16_t name[32];
};

// ---- Condition tree -------------------------------------------------------------------

// A node with children is a group whose children are joined by its code (0 while it has
// no operator yet); a node without children is a leaf, or a group decided as one of the
// states above. Texts are not owned: they point into the condition or into the arena
// the template was resolved with.
struct XWhereTree
{
    uint32_t code;
    uint32_t mark;  // bracket bookkeeping of the tree builder
    uint32_t spare; // carried, unused
    const char16_t *leftText;
    const char16_t *rightText;
    XQueryWhere *item; // the condition of a leaf
    XWhereTree *nextSibling;
    XWhereTree *firstChild;
    XWhereTree *parent;
};

// The binder resolves one expression: above 0 the expression is replaced by the text left
// in workText; 0 it stays as written; below 0 an error, kQueryNotAvailable meaning that
// the value is missing.
using XQueryBinder = int32_t (*)(void *data, const char16_t *expression, XString *workText);

class DATAKIT_EXPORT XQueryTemplate
{
public:
    static XQueryTemplate *Malloc();
    void Release();

    XQueryTemplate();
    // Copies are deep: every list, the tree aside, is duplicated.
    XQueryTemplate(const XQueryTemplate &other);
    XQueryTemplate &operator=(const XQueryTemplate &other);
    virtual ~XQueryTemplate();

    void SetDataMuster(uint32_t a, uint32_t b);
    uint32_t GetDataMuster(int which) const { return m_dataMuster[which ? 1 : 0]; }
    // The three further words (0-2), stored as archive properties 3, 4 and 5.
    void SetExtraWord(int which, uint32_t value);
    uint32_t GetExtraWord(int which) const;
    // A copy of text (null: none).
    void SetFromClause(const char16_t *text);
    const char16_t *GetFromClause() const { return m_fromClause; }
    void SetBinder(void *data, XQueryBinder binder);

    // First item of list kind 0-3 (XQueryField, XQueryWhere, XQueryGroup, XQueryOrder), the
    // tree for kind 8, else null.
    void *GetDescWare(int kind) const;
    // Frees list kind 0-3 (kind 1 also frees the tree).
    void ClearWare(int kind);
    // Frees the texts of one item of list kind 0-3.
    static void ClearDesc(int kind, void *item);
    // Appends an item made from the flat record of the kind. Empty texts count as absent.
    // Null when a text area holds no terminator or the kind is unknown.
    void *AddDesc(int kind, const void *record);
    // The item after current (the first for null) with its record filled; null at the end,
    // and null when a text of the item does not fit its area of the record.
    void *GetNextDesc(int kind, const void *current, void *record) const;

    // Field list editing with item data descriptors. 1 on success, 0 for a bad index.
    int InsertSuber(uint32_t index, const XItemDataDesc *desc);
    int DeleteSuber(uint32_t index);
    int SwitchSuber(uint32_t i, uint32_t j);
    int ModifySuber(uint32_t index, const XItemDataDesc *desc);
    // The n-th field follows the n-th descriptor of the chain; fields past it are deleted.
    int UpdateFieldDesc(const XItemDataDesc *desc);

    // Frees this template's lists and FROM text and takes over other's lists, FROM text
    // and data-source numbers, leaving other's lists empty.
    void Displace(XQueryTemplate *other);

    // 1 when valid; else 0 with the message copied into buffer (64 units are enough).
    int CheckError(char16_t *buffer) const;

    // XML form: element "QueryTemplate" with "Table", "Field", "Where", "Group", "Order".
    // 0 when an item holds a bracket count above kMaxBrackets.
    int FromXmlDoc(XML_Node *node);
    int WriteXmlDoc(XDomWriter *writer) const;
    // Archive form. SaveTemplate normalises the field sizes it writes. LoadTemplate with a
    // non-zero code first reads that section's start; ReadTemplate reads the older layout.
    // 1 on success, 0 on failure.
    int SaveTemplate(uint16_t code, XMF_Archive *archive);
    int LoadTemplate(uint16_t code, XMF_Archive *archive);
    int ReadTemplate(uint16_t code, XMF_Archive *archive);

    // Resolves every text through the binder, replacing them in the lists, and builds and
    // resolves the condition tree (texts copied into memo).
    int32_t ReplaceTemplate(XMemoHelper *memo);
    // Simplifies the tree: 1 when the query can match nothing; otherwise 0, the tree
    // deleted when no condition is left. A group whose conditions were all dropped is
    // dropped with them instead of matching every row.
    int ComputeWhereTree();
    // Writes the resolved query (section 14337) without changing the lists. 0, 1 when the
    // conditions can match nothing, or an error code.
    int32_t ComputeTemplate(XMF_Archive *archive);

protected:
    // Builds the tree from the condition list (brackets and joins only).
    int32_t MakeWhereTree();
    // Builds and resolves the tree.
    int32_t MakeWhereTree(XMemoHelper *memo);
    int32_t MakeFieldDesc(XMF_Archive *archive);
    int32_t MakeWhereDesc(XMF_Archive *archive);
    int32_t MakeGroupDesc(XMF_Archive *archive);
    int32_t MakeOrderDesc(XMF_Archive *archive);

private:
    void CopyFrom(const XQueryTemplate &other);
    void FreeTree();
    int32_t CheckResolve() const;
    // Binder call with workText cleared first.
    int32_t Bind(const char16_t *expression);
    // Resolves *text in place (ReplaceTemplate) / writes it (ComputeTemplate).
    int32_t ReplaceText(char16_t **text);
    const char16_t *ComputeText(const char16_t *text, int32_t *result);
    int32_t ResolveTree(XWhereTree *node, XMemoHelper *memo);
    int32_t ResolveLeaf(XWhereTree *leaf, XMemoHelper *memo);
    int LoadBody(XMF_Archive *archive, bool older);

    uint32_t m_dataMuster[2] = {0, 0};
    uint32_t m_words[3] = {0, 0, 0};
    void *m_binderData = nullptr;
    XQueryBinder m_binder = nullptr;
    char16_t *m_fromClause = nullptr;
    XString *m_workText = nullptr;
    XQueryField *m_fieldList = nullptr;
    XQueryWhere *m_whereList = nullptr;
    XQueryGroup *m_groupList = nullptr;
    XQueryOrder *m_orderList = nullptr;
    XWhereTree *m_whereTree = nullptr;
};

// Renders the tree as WHERE text appended to text. 1 on success (nothing appended for a
// null, TRUE or DROPPED root); 0 for a FALSE root or a condition that cannot be written,
// the partial text left in place.
DATAKIT_EXPORT int MakeWhereClause(const XWhereTree *tree, XString *text);
// Frees a tree built by a template (not the texts it points at).
DATAKIT_EXPORT void ReleaseWhereTree(XWhereTree *tree);
