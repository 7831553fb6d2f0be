// The host's interfaces that the driver calls: the data model and driver manager of the host
// framework, and its units-of-measure engine. Slots count IUnknown's three as 0-2; every slot
// up to the highest one used is declared in order, so the method tables match the host's.
// Unused slots are placeholders (ReservedN) and unnamed slots whose use is known are SlotN.
// The IIDs are this project's own. The driver and the reference host both compile against
// these declarations.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <oaidl.h>

struct IvnFile;  // implemented by the driver, see DriverInterfaces.h

struct IkelUOMFactory;
struct IkelMeasure;
struct IkelQuantity;
struct IvnProperties;
struct IvnProperty;
struct IvnPropertyChoices;
struct IvnFileList;
struct IvnFileListModel;
struct IvnFiles;
struct IvnImportTarget;
struct IvnHostSession;
struct IvnProgress;
struct IvnDataStore;
struct IvnCatalog;
struct IvnFields;
struct IvnField;
struct IvnProductList;
struct IvnProduct;
struct IvnMachine;
struct IvnComponentParent;
struct IvnContainerParent;
struct IvnContainer;
struct IvnDataColumn;
struct IvnOperation;
struct IvnOperationLoad;
struct IvnOperationData;
struct IvnOperationProducts;
struct IvnOperationMachines;
struct IvnOperationContainers;
struct IvnPointValues;
struct IvnPointValue;
struct IvnExtent;
struct IvnCropZone;
struct IvnCropList;
struct IvnCrop;
struct IvnOperationDataList;
struct IvnPrescriptionList;
struct IvnPrescription;
struct IvnRateSet;
struct IvnRate;
struct IvnRxSurface;
struct IvnFactory;

// The units engine's factory: units, the units context and measures.
struct DECLSPEC_NOVTABLE IkelUOMFactory : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    // slot 5
    // a unit object from its two codes (the second 0 when the unit is not a ratio)
    virtual HRESULT STDMETHODCALLTYPE CreateUnit(LONG code, LONG perCode, IUnknown** unit) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    // slot 9
    // the units context the driver keeps for its whole life
    virtual HRESULT STDMETHODCALLTYPE CreateQuantity(LONG code, LONG perCode, IkelQuantity** quantity) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved14() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved15() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved16() = 0;
    // slot 17
    // a new measure holding value in the unit given by the codes
    virtual HRESULT STDMETHODCALLTYPE CreateMeasure(LONG code, LONG perCode, double value, IkelMeasure** measure) = 0;
};
__CRT_UUID_DECL(IkelUOMFactory, 0x82109a08, 0x7583, 0x47d2, 0xb2, 0xd8, 0xa7, 0x51, 0x5f, 0xcb, 0x60, 0xc8)

// One value with its unit. Objects of this kind also answer IkelQuantity.
struct DECLSPEC_NOVTABLE IkelMeasure : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    // slot 4
    // the unit, as a units-engine code; the value is kept as it is
    virtual HRESULT STDMETHODCALLTYPE put_UnitCode(LONG code) = 0;
    // slot 5
    virtual HRESULT STDMETHODCALLTYPE get_Value(double* value) = 0;
    // slot 6
    virtual HRESULT STDMETHODCALLTYPE put_Value(double value) = 0;
    // slot 7
    // value and unit at once
    virtual HRESULT STDMETHODCALLTYPE SetValue(double value, LONG code, LONG perCode) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved14() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved15() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved16() = 0;
    // slot 17
    // a new measure: `measure` expressed in the unit `code`
    virtual HRESULT STDMETHODCALLTYPE ConvertTo(IkelMeasure* measure, LONG code, IkelMeasure** converted) = 0;
};
__CRT_UUID_DECL(IkelMeasure, 0x7fec6033, 0xc7fb, 0x4a9a, 0xb8, 0x36, 0x47, 0x2d, 0xde, 0x71, 0x93, 0x51)

// A units-engine object that carries a value the host can pass on.
struct DECLSPEC_NOVTABLE IkelQuantity : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved14() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved15() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved16() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved17() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved18() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved19() = 0;
    // slot 20
    // the value handed on to the data store (IvnDataStore slot 14)
    virtual HRESULT STDMETHODCALLTYPE get_Value(VARIANT* value) = 0;
};
__CRT_UUID_DECL(IkelQuantity, 0x9eb7c744, 0x3bc0, 0x4526, 0x8e, 0xc6, 0x70, 0xe3, 0x8a, 0xc9, 0xfe, 0x4f)

// A list of displayed properties (key, caption, value), also the publisher's options.
struct DECLSPEC_NOVTABLE IvnProperties : public IUnknown {
    // slot 3
    // VT_BSTR key, or 1-based index (VT_I4 / VT_INT); null when absent
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT keyOrIndex, IvnProperty** property) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    // slot 6
    // adds an entry and returns it
    virtual HRESULT STDMETHODCALLTYPE Add(BSTR key, BSTR caption, BSTR value, IvnProperty** property) = 0;
};
__CRT_UUID_DECL(IvnProperties, 0xa9be8592, 0xfb9e, 0x464f, 0xb2, 0x73, 0x96, 0xba, 0x4c, 0x7e, 0xc6, 0x95)

// One entry of an IvnProperties list.
struct DECLSPEC_NOVTABLE IvnProperty : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    // slot 6
    virtual HRESULT STDMETHODCALLTYPE get_Value(BSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved14() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved15() = 0;
    // slot 16
    // the list of values the user may pick from
    virtual HRESULT STDMETHODCALLTYPE get_Choices(IvnPropertyChoices** choices) = 0;
};
__CRT_UUID_DECL(IvnProperty, 0xe328c580, 0x756d, 0x41d8, 0x8b, 0x0f, 0x7a, 0xd4, 0xe3, 0x88, 0xb3, 0x73)

// The choice list of one property.
struct DECLSPEC_NOVTABLE IvnPropertyChoices : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    // slot 6
    virtual HRESULT STDMETHODCALLTYPE Add(BSTR choice, IUnknown** added) = 0;
};
__CRT_UUID_DECL(IvnPropertyChoices, 0x0eaec318, 0x2f42, 0x4043, 0xaa, 0xdd, 0x96, 0xa5, 0xcd, 0x31, 0x63, 0x0d)

// The host's file list shown before an import.
struct DECLSPEC_NOVTABLE IvnFileList : public IUnknown {
    // slot 3
    virtual HRESULT STDMETHODCALLTYPE get_Model(IvnFileListModel** model) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    // slot 5
    virtual HRESULT STDMETHODCALLTYPE AddColumn(BSTR key, BSTR caption, LONG width, LONG arg4, LONG arg5,
                                                IUnknown** column) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot7(LONG value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot9(LONG value) = 0;
};
__CRT_UUID_DECL(IvnFileList, 0xdc070ea0, 0x8413, 0x4dcb, 0x9b, 0xfc, 0xfa, 0x9f, 0x82, 0xd3, 0xae, 0xfd)

// The model behind the file list.
struct DECLSPEC_NOVTABLE IvnFileListModel : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
    // slot 11
    virtual HRESULT STDMETHODCALLTYPE get_Files(IvnFiles** files) = 0;
};
__CRT_UUID_DECL(IvnFileListModel, 0x5b0a9408, 0x8e27, 0x4358, 0xad, 0xab, 0xa9, 0xc0, 0x20, 0x4b, 0x10, 0xdb)

// The collection of data files of the file list.
struct DECLSPEC_NOVTABLE IvnFiles : public IUnknown {
    // slot 3
    // 1-based VT_I4 index
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IvnFile** file) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    // slot 5
    virtual HRESULT STDMETHODCALLTYPE get_Count(LONG* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    // slot 9
    virtual HRESULT STDMETHODCALLTYPE Add(IvnFile* file, IUnknown** added) = 0;
};
__CRT_UUID_DECL(IvnFiles, 0x1d7e2e36, 0x3bac, 0x464f, 0x8e, 0xde, 0xbf, 0x5d, 0xd9, 0xf8, 0x8d, 0x42)

// What the host hands to an import; also answers IvnDataStore.
struct DECLSPEC_NOVTABLE IvnImportTarget : public IUnknown {
    // slot 3
    virtual HRESULT STDMETHODCALLTYPE get_Session(IvnHostSession** session) = 0;
};
__CRT_UUID_DECL(IvnImportTarget, 0xa11f9307, 0x8553, 0x439e, 0x81, 0x32, 0x55, 0xe4, 0xc7, 0xb4, 0xff, 0x53)

// The host's session.
struct DECLSPEC_NOVTABLE IvnHostSession : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved14() = 0;
    // slot 15
    // e.g. "Summary.zqs" with 32767
    virtual HRESULT STDMETHODCALLTYPE WriteSummary(BSTR fileName, LONG arg, VARIANT_BOOL* written) = 0;
};
__CRT_UUID_DECL(IvnHostSession, 0xee9964bd, 0xac2e, 0x482e, 0x81, 0xea, 0x83, 0x3a, 0x7a, 0x66, 0xeb, 0xbd)

// The host's progress display.
struct DECLSPEC_NOVTABLE IvnProgress : public IUnknown {
    // slot 3
    virtual HRESULT STDMETHODCALLTYPE SetRange(LONG mode, double low, double high) = 0;
    // slot 4
    virtual HRESULT STDMETHODCALLTYPE SetPosition(double position, VARIANT_BOOL* result) = 0;
    // slot 5
    virtual HRESULT STDMETHODCALLTYPE Finish() = 0;
};
__CRT_UUID_DECL(IvnProgress, 0x18693b56, 0x5799, 0x43de, 0xb2, 0x2d, 0xd4, 0x8c, 0xe6, 0x12, 0x6c, 0xe4)

// The host's data store: catalog and the factories of its records.
struct DECLSPEC_NOVTABLE IvnDataStore : public IUnknown {
    // slot 3
    virtual HRESULT STDMETHODCALLTYPE get_Catalog(IvnCatalog** catalog) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    // slot 6
    virtual HRESULT STDMETHODCALLTYPE CreateProduct(BSTR key, BSTR name, BSTR text3, IkelQuantity* quantity, LONG arg5,
                                                    LONG arg6, IkelMeasure* measure, IvnProduct** product) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    // slot 10
    // kind 64 field, 128 farm
    virtual HRESULT STDMETHODCALLTYPE CreateField(BSTR key, BSTR name, LONG kind, BSTR parentKey, BSTR text5,
                                                  IvnField** field) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
    // slot 12
    virtual HRESULT STDMETHODCALLTYPE CreateMachine(BSTR key, BSTR name, BSTR text3, LONG arg4,
                                                    IvnMachine** machine) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;
    // slot 14
    // `value` comes from IkelQuantity slot 20; parent may be null
    virtual HRESULT STDMETHODCALLTYPE CreateComponent(IvnComponentParent* parent, BSTR key, BSTR text2, BSTR text3,
                                                      VARIANT value, double d1, double d2, double d3, double d4,
                                                      LONG arg9, LONG arg10, IUnknown** component) = 0;
    // slot 15
    // parent may be null
    virtual HRESULT STDMETHODCALLTYPE CreateContainer(IvnContainerParent* parent, BSTR key, BSTR name, BSTR text3,
                                                      IkelMeasure* measure, IvnContainer** container) = 0;
    // slot 16
    // `unit` comes from IkelUOMFactory slot 5
    virtual HRESULT STDMETHODCALLTYPE CreateDataColumn(IUnknown* component, BSTR key, BSTR name, BSTR text3, BSTR text4,
                                                       IUnknown* unit, LONG arg6, LONG arg7, LONG arg8, LONG arg9,
                                                       IvnDataColumn** column) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved17() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved18() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved19() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot20(LONG value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved21() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved22() = 0;
    // slot 23
    virtual HRESULT STDMETHODCALLTYPE CreateOperation(BSTR name, LONG arg2, IvnField* field, BSTR kind,
                                                      IvnOperation** operation) = 0;
};
__CRT_UUID_DECL(IvnDataStore, 0x792abc72, 0x2ac4, 0x49c1, 0x85, 0x66, 0x83, 0x57, 0xd8, 0x43, 0xc4, 0xfb)

// The host's catalog; every list may come back null.
struct DECLSPEC_NOVTABLE IvnCatalog : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    // slot 5
    virtual HRESULT STDMETHODCALLTYPE get_OperationDataList(IvnOperationDataList** list) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    // slot 7
    virtual HRESULT STDMETHODCALLTYPE get_ProductList(IvnProductList** list) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
    // slot 12
    virtual HRESULT STDMETHODCALLTYPE get_Fields(IvnFields** fields) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved14() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved15() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved16() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved17() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved18() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved19() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved20() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved21() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved22() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved23() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved24() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved25() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved26() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved27() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved28() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved29() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved30() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved31() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved32() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved33() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved34() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved35() = 0;
    // slot 36
    virtual HRESULT STDMETHODCALLTYPE get_CropList(IvnCropList** list) = 0;
    // slot 37
    virtual HRESULT STDMETHODCALLTYPE get_PrescriptionList(IvnPrescriptionList** list) = 0;
};
__CRT_UUID_DECL(IvnCatalog, 0x5d16fa30, 0x8cef, 0x46ed, 0x84, 0x9b, 0xd5, 0xe1, 0x5b, 0x96, 0xf0, 0x52)

// The nodes of the field tree.
struct DECLSPEC_NOVTABLE IvnFields : public IUnknown {
    // slot 3
    // VT_BSTR key or 1-based index (VT_INT or VT_I4); null when absent
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT keyOrIndex, IvnField** node) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    // slot 5
    virtual HRESULT STDMETHODCALLTYPE get_Count(LONG* count) = 0;
};
__CRT_UUID_DECL(IvnFields, 0xa2f16c81, 0x7848, 0x4c29, 0xb7, 0xe4, 0x4a, 0x29, 0xbe, 0x6e, 0x69, 0xc3)

// One node of the field tree (client 0x100, farm 0x80, field 0x40, crop zone 0x20).
struct DECLSPEC_NOVTABLE IvnField : public IUnknown {
    // slot 3
    virtual HRESULT STDMETHODCALLTYPE get_Key(BSTR* key) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    // slot 8
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved14() = 0;
    // slot 15
    virtual HRESULT STDMETHODCALLTYPE get_Kind(LONG* kind) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved16() = 0;
    // slot 17
    virtual HRESULT STDMETHODCALLTYPE get_Parent(IvnField** parent) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved18() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved19() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved20() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved21() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved22() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved23() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved24() = 0;
    // slot 25
    // may be null
    virtual HRESULT STDMETHODCALLTYPE get_Area(IkelMeasure** area) = 0;
};
__CRT_UUID_DECL(IvnField, 0x719bd81b, 0x7781, 0x4b26, 0xbd, 0x01, 0xac, 0x10, 0x04, 0xac, 0x9c, 0x3d)

// The catalog's products.
struct DECLSPEC_NOVTABLE IvnProductList : public IUnknown {
    // slot 3
    // null when absent
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT key, IvnProduct** product) = 0;
};
__CRT_UUID_DECL(IvnProductList, 0x97b9831b, 0x459f, 0x4d78, 0xb5, 0x40, 0x07, 0xbb, 0xe9, 0x36, 0xdf, 0x90)

// A product of the catalog.
struct DECLSPEC_NOVTABLE IvnProduct : public IUnknown {
    // slot 3
    virtual HRESULT STDMETHODCALLTYPE get_Key(BSTR* key) = 0;
};
__CRT_UUID_DECL(IvnProduct, 0x003e84b0, 0x2726, 0x42e4, 0x8a, 0x9a, 0x9b, 0xf2, 0x00, 0x6a, 0xd2, 0x78)

// A machine of the device model.
struct DECLSPEC_NOVTABLE IvnMachine : public IUnknown {
    // slot 3
    virtual HRESULT STDMETHODCALLTYPE get_Key(BSTR* key) = 0;
};
__CRT_UUID_DECL(IvnMachine, 0x32578092, 0xaa41, 0x4cb6, 0x89, 0x71, 0xee, 0x65, 0xa1, 0xf4, 0x43, 0x15)

// What a component can be attached to (a machine answers it).
struct DECLSPEC_NOVTABLE IvnComponentParent : public IUnknown {};
__CRT_UUID_DECL(IvnComponentParent, 0x6fb028f3, 0x2bdd, 0x402d, 0xb2, 0x01, 0x1a, 0x7f, 0x5f, 0xe9, 0x57, 0x8c)

// What a container can be attached to (a machine answers it).
struct DECLSPEC_NOVTABLE IvnContainerParent : public IUnknown {};
__CRT_UUID_DECL(IvnContainerParent, 0xd30cc1d5, 0x06af, 0x4dd3, 0x94, 0xc7, 0xa0, 0x0a, 0xfe, 0xd0, 0xd5, 0x80)

// A container of the device model.
struct DECLSPEC_NOVTABLE IvnContainer : public IUnknown {
    // slot 3
    virtual HRESULT STDMETHODCALLTYPE get_Key(BSTR* key) = 0;
};
__CRT_UUID_DECL(IvnContainer, 0x8a9d40f5, 0x2fbf, 0x4db6, 0x83, 0xde, 0x70, 0x39, 0x70, 0x90, 0x3c, 0xc7)

// A data column of the device model.
struct DECLSPEC_NOVTABLE IvnDataColumn : public IUnknown {
    // slot 3
    // the key of the column's value slot in a point
    virtual HRESULT STDMETHODCALLTYPE get_Key(BSTR* key) = 0;
};
__CRT_UUID_DECL(IvnDataColumn, 0xb87729ea, 0x94f4, 0x4233, 0x9d, 0x85, 0x0e, 0x69, 0x59, 0x78, 0xac, 0x35)

// One operation record: its points, markers and attached machine, product, container.
struct DECLSPEC_NOVTABLE IvnOperation : public IUnknown {
    // slot 3
    virtual HRESULT STDMETHODCALLTYPE get_Data(IvnOperationData** data) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    // slot 5
    virtual HRESULT STDMETHODCALLTYPE AddProduct(IvnProduct* product, IUnknown** entry) = 0;
    // slot 6
    virtual HRESULT STDMETHODCALLTYPE AddMachine(IvnMachine* machine, LONG arg2, BSTR text3, LONG arg4,
                                                 IUnknown** entry) = 0;
    // slot 7
    // both arguments may be null; the entry answers IvnOperationLoad
    virtual HRESULT STDMETHODCALLTYPE AddContainer(IUnknown* productEntry, IUnknown* container, double amount,
                                                   IUnknown** entry) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    // slot 10
    // the current point is finished
    virtual HRESULT STDMETHODCALLTYPE EndPoint(VARIANT_BOOL* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
    // slot 12
    // starts a new current point
    virtual HRESULT STDMETHODCALLTYPE AddPoint(double x, double y, double time, LONG arg4, LONG arg5, double arg6,
                                               IkelMeasure* m1, IkelMeasure* m2, IkelMeasure* m3, IkelMeasure* altitude,
                                               VARIANT_BOOL* accepted) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;
    // slot 14
    virtual HRESULT STDMETHODCALLTYPE DeclareMarker(BSTR key, BSTR name, IUnknown** marker) = 0;
    // slot 15
    // an event of that kind at the current point
    virtual HRESULT STDMETHODCALLTYPE AddMarkerEvent(BSTR key, BSTR name, IUnknown** event) = 0;
};
__CRT_UUID_DECL(IvnOperation, 0x2e92f8aa, 0x4bf8, 0x4280, 0x97, 0xa1, 0x05, 0x73, 0x5e, 0x0b, 0xaf, 0xa3)

// A load of a container within an operation.
struct DECLSPEC_NOVTABLE IvnOperationLoad : public IUnknown {};
__CRT_UUID_DECL(IvnOperationLoad, 0xbbb3a43c, 0x381e, 0x46d7, 0xa0, 0xf9, 0x96, 0x03, 0x5e, 0x19, 0xa9, 0xed)

// The details of an operation.
struct DECLSPEC_NOVTABLE IvnOperationData : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
    // slot 11
    virtual HRESULT STDMETHODCALLTYPE get_Properties(IvnProperties** properties) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0;
    // slot 13
    // the field-tree node of the operation; may be null
    virtual HRESULT STDMETHODCALLTYPE get_Node(IvnField** node) = 0;
    // slot 14
    virtual HRESULT STDMETHODCALLTYPE get_Extent(IvnExtent** extent) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved15() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved16() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved17() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved18() = 0;
    // slot 19
    virtual HRESULT STDMETHODCALLTYPE get_Products(IvnOperationProducts** products) = 0;
    // slot 20
    virtual HRESULT STDMETHODCALLTYPE get_Machines(IvnOperationMachines** machines) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved21() = 0;
    // slot 22
    // the values of the current point
    virtual HRESULT STDMETHODCALLTYPE get_PointValues(IvnPointValues** values) = 0;
    // slot 23
    virtual HRESULT STDMETHODCALLTYPE get_Containers(IvnOperationContainers** containers) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved24() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved25() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved26() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved27() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved28() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved29() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved30() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved31() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved32() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved33() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved34() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved35() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved36() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved37() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved38() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved39() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved40() = 0;
    // slot 41
    virtual HRESULT STDMETHODCALLTYPE put_Name(BSTR name) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved42() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved43() = 0;
    // slot 44
    virtual HRESULT STDMETHODCALLTYPE get_Comment(BSTR* comment) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved45() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved46() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved47() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved48() = 0;
    // slot 49
    virtual HRESULT STDMETHODCALLTYPE get_PrescriptionId(BSTR* id) = 0;
};
__CRT_UUID_DECL(IvnOperationData, 0xf74018d8, 0x9284, 0x44e9, 0xb3, 0xf9, 0xdd, 0xa6, 0x14, 0xc3, 0x92, 0x88)

// The products attached to an operation.
struct DECLSPEC_NOVTABLE IvnOperationProducts : public IUnknown {
    // slot 3
    // VT_BSTR key; null when absent
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT key, IUnknown** entry) = 0;
};
__CRT_UUID_DECL(IvnOperationProducts, 0x0aeba5b3, 0x43b1, 0x4331, 0x8f, 0x77, 0xbd, 0xb8, 0xa2, 0x40, 0xed, 0x13)

// The machines attached to an operation.
struct DECLSPEC_NOVTABLE IvnOperationMachines : public IUnknown {
    // slot 3
    // VT_BSTR key; null when absent
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT key, IUnknown** entry) = 0;
};
__CRT_UUID_DECL(IvnOperationMachines, 0xece496f6, 0x680f, 0x4a7d, 0xa0, 0xe0, 0x1a, 0x07, 0x2e, 0x64, 0xb7, 0x8e)

// The containers attached to an operation.
struct DECLSPEC_NOVTABLE IvnOperationContainers : public IUnknown {
    // slot 3
    // VT_BSTR key; null when absent
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT key, IUnknown** entry) = 0;
};
__CRT_UUID_DECL(IvnOperationContainers, 0x93a564f8, 0x52f8, 0x4cd6, 0x94, 0xef, 0x58, 0x20, 0x71, 0x84, 0xf4, 0xba)

// The value slots of one point, by data-column key.
struct DECLSPEC_NOVTABLE IvnPointValues : public IUnknown {
    // slot 3
    // VT_BSTR key; null when absent
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT key, IvnPointValue** value) = 0;
};
__CRT_UUID_DECL(IvnPointValues, 0x314d4980, 0xb322, 0x41ca, 0x85, 0xb9, 0xf7, 0xf1, 0xb3, 0xae, 0x71, 0x31)

// One value slot of a point.
struct DECLSPEC_NOVTABLE IvnPointValue : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    // slot 8
    virtual HRESULT STDMETHODCALLTYPE get_Measure(IkelMeasure** measure) = 0;
};
__CRT_UUID_DECL(IvnPointValue, 0x22946ab8, 0xd7c1, 0x4357, 0xac, 0xa4, 0x38, 0xcd, 0xe4, 0xe1, 0xab, 0x42)

// A rectangle (and, for an operation, its time settings).
struct DECLSPEC_NOVTABLE IvnExtent : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    // slot 4
    virtual HRESULT STDMETHODCALLTYPE get_YMin(double* y) = 0;
    // slot 5
    virtual HRESULT STDMETHODCALLTYPE get_YMax(double* y) = 0;
    // slot 6
    virtual HRESULT STDMETHODCALLTYPE get_XMin(double* x) = 0;
    // slot 7
    virtual HRESULT STDMETHODCALLTYPE get_XMax(double* x) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot12(LONG value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved14() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved15() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved16() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved17() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved18() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved19() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved20() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved21() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved22() = 0;
    // slot 23
    // standard offset from UTC, east positive
    virtual HRESULT STDMETHODCALLTYPE put_TimeZoneHours(double hours) = 0;
};
__CRT_UUID_DECL(IvnExtent, 0x655092ea, 0x24a4, 0x43a9, 0x9c, 0xf5, 0xd3, 0x89, 0x0e, 0x86, 0xc8, 0xd2)

// A crop-zone node; continues IvnField.
struct DECLSPEC_NOVTABLE IvnCropZone : public IvnField {
    virtual HRESULT STDMETHODCALLTYPE Reserved26() = 0;
    // slot 27
    // key of its crop in the crop list
    virtual HRESULT STDMETHODCALLTYPE get_CropKey(BSTR* key) = 0;
};
__CRT_UUID_DECL(IvnCropZone, 0x962b08ea, 0x6c90, 0x4e67, 0xb5, 0xfe, 0x56, 0x01, 0x7c, 0x18, 0x7d, 0xce)

// The catalog's crops.
struct DECLSPEC_NOVTABLE IvnCropList : public IUnknown {
    // slot 3
    // VT_BSTR key or 1-based index; null when absent
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT keyOrIndex, IvnCrop** crop) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    // slot 5
    virtual HRESULT STDMETHODCALLTYPE get_Count(LONG* count) = 0;
};
__CRT_UUID_DECL(IvnCropList, 0xbe00b6d6, 0xff17, 0x4cf3, 0xbe, 0x11, 0x6c, 0xbe, 0x57, 0xd7, 0xf6, 0x78)

// A crop.
struct DECLSPEC_NOVTABLE IvnCrop : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    // slot 8
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;
};
__CRT_UUID_DECL(IvnCrop, 0x908b2e8b, 0x1081, 0x4e10, 0x88, 0xab, 0xdf, 0xbc, 0x04, 0x4d, 0x43, 0x7a)

// The catalog's operations.
struct DECLSPEC_NOVTABLE IvnOperationDataList : public IUnknown {
    // slot 3
    // 1-based index; null when absent
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IvnOperationData** data) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    // slot 5
    virtual HRESULT STDMETHODCALLTYPE get_Count(LONG* count) = 0;
};
__CRT_UUID_DECL(IvnOperationDataList, 0x26ff5d2c, 0xedc1, 0x4686, 0x89, 0xee, 0x09, 0x8f, 0x0b, 0xf4, 0x62, 0xb0)

// The catalog's prescriptions.
struct DECLSPEC_NOVTABLE IvnPrescriptionList : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    // slot 4
    // VT_UNKNOWN / VT_DISPATCH items answering IvnPrescription
    virtual HRESULT STDMETHODCALLTYPE get__NewEnum(IEnumVARIANT** items) = 0;
    // slot 5
    virtual HRESULT STDMETHODCALLTYPE get_Count(LONG* count) = 0;
};
__CRT_UUID_DECL(IvnPrescriptionList, 0x54b26bb6, 0xcee9, 0x4388, 0xb9, 0x35, 0x5d, 0x4a, 0x07, 0xad, 0x53, 0xec)

// A prescription (application map).
struct DECLSPEC_NOVTABLE IvnPrescription : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    // slot 9
    // the products of the prescription; may be null
    virtual HRESULT STDMETHODCALLTYPE get_RateSet(IvnRateSet** rates) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved14() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved15() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved16() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved17() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved18() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved19() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved20() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved21() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved22() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved23() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved24() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved25() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved26() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved27() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved28() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved29() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved30() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved31() = 0;
    // slot 32
    virtual HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) = 0;
};
__CRT_UUID_DECL(IvnPrescription, 0x7eb751c2, 0xcb19, 0x424d, 0xbc, 0x27, 0x08, 0x3a, 0x14, 0xa9, 0xab, 0x01)

// Rates by product.
struct DECLSPEC_NOVTABLE IvnRateSet : public IUnknown {
    // slot 3
    // null when absent
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT productKey, IvnRate** rate) = 0;
    // slot 4
    // items answering IvnRate
    virtual HRESULT STDMETHODCALLTYPE get__NewEnum(IEnumVARIANT** items) = 0;
};
__CRT_UUID_DECL(IvnRateSet, 0xfcbc5080, 0xe6ca, 0x42bf, 0x8d, 0x80, 0x8b, 0x27, 0xea, 0x82, 0xdf, 0x91)

// The rate of one product.
struct DECLSPEC_NOVTABLE IvnRate : public IUnknown {
    // slot 3
    virtual HRESULT STDMETHODCALLTYPE get_ProductKey(BSTR* key) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved14() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved15() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved16() = 0;
    // slot 17
    virtual HRESULT STDMETHODCALLTYPE get_Value(double* value) = 0;
};
__CRT_UUID_DECL(IvnRate, 0x94f8ecb7, 0x7d89, 0x4d81, 0x8d, 0x39, 0x59, 0x0d, 0x8e, 0x6c, 0x06, 0x60)

// A prescription gridded at a cell size, walked cell by cell. Also answers IvnPrescription.
struct DECLSPEC_NOVTABLE IvnRxSurface : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    // slot 9
    // the rates of the current cell; may be null
    virtual HRESULT STDMETHODCALLTYPE get_CellRates(IvnRateSet** rates) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
    // slot 12
    virtual HRESULT STDMETHODCALLTYPE get_Columns(LONG* nx) = 0;
    // slot 13
    virtual HRESULT STDMETHODCALLTYPE get_Rows(LONG* ny) = 0;
    // slot 14
    virtual HRESULT STDMETHODCALLTYPE get_Extent(IvnExtent** extent) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved15() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved16() = 0;
    // slot 17
    // rows from the lowest y, cells from the lowest x
    virtual HRESULT STDMETHODCALLTYPE MoveFirst(VARIANT_BOOL* found) = 0;
    // slot 18
    virtual HRESULT STDMETHODCALLTYPE MoveNext(VARIANT_BOOL* found) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved19() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved20() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved21() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved22() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved23() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved24() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved25() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved26() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved27() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved28() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved29() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved30() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved31() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved32() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved33() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved34() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved35() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved36() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved37() = 0;
    // slot 38
    // VARIANT_TRUE outside the prescription
    virtual HRESULT STDMETHODCALLTYPE get_IsBlank(VARIANT_BOOL* blank) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved39() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved40() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved41() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved42() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved43() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved44() = 0;
    // slot 45
    virtual HRESULT STDMETHODCALLTYPE Build(IvnPrescription* prescription, IkelMeasure* cellSize,
                                            VARIANT_BOOL* built) = 0;
};
__CRT_UUID_DECL(IvnRxSurface, 0x3415141c, 0x0061, 0x41c4, 0xad, 0xe0, 0xbe, 0x0b, 0x71, 0x01, 0x8c, 0x53)

// The host's factory of exports.
struct DECLSPEC_NOVTABLE IvnFactory : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;
    // slot 14
    // writes path (.shp) with its .shx and .dbf
    virtual HRESULT STDMETHODCALLTYPE WriteShapeFile(BSTR path, IvnPrescription* prescription,
                                                     VARIANT_BOOL* written) = 0;
};
__CRT_UUID_DECL(IvnFactory, 0x022a36b7, 0xa8a7, 0x40ad, 0x99, 0xf1, 0xd9, 0x74, 0xd0, 0x73, 0xb9, 0x56)
