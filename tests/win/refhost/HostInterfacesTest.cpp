// The host's method tables must match slot for slot: a shifted slot calls the wrong host
// method. With the Itanium C++ ABI that mingw-w64 uses, a pointer to a virtual member holds
// 1 + its byte offset in the method table, which gives the slot of every named method.
#include "host/HostInterfaces.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

template <typename Member>
long SlotOf(Member member) {
    static_assert(sizeof(Member) == 2 * sizeof(void*), "Itanium member pointer");
    std::uintptr_t word;
    std::memcpy(&word, &member, sizeof word);
    EXPECT_EQ(word % sizeof(void*), 1u) << "not a virtual member";
    return static_cast<long>((word - 1) / sizeof(void*));
}

struct SlotCase {
    const char* name;
    long actual;
    long expected;
};

#define SLOT(I, M, N) \
    SlotCase { #I "::" #M, SlotOf(&I::M), N }

TEST(HostInterfaces, NamedMethodsSitAtTheirSlots) {
    const SlotCase cases[] = {
        SLOT(IkelUOMFactory, CreateUnit, 5),
        SLOT(IkelUOMFactory, CreateQuantity, 9),
        SLOT(IkelUOMFactory, CreateMeasure, 17),
        SLOT(IkelMeasure, put_UnitCode, 4),
        SLOT(IkelMeasure, get_Value, 5),
        SLOT(IkelMeasure, put_Value, 6),
        SLOT(IkelMeasure, SetValue, 7),
        SLOT(IkelMeasure, ConvertTo, 17),
        SLOT(IkelQuantity, get_Value, 20),
        SLOT(IvnProperties, get_Item, 3),
        SLOT(IvnProperties, Add, 6),
        SLOT(IvnProperty, get_Value, 6),
        SLOT(IvnProperty, get_Choices, 16),
        SLOT(IvnPropertyChoices, Add, 6),
        SLOT(IvnFileList, get_Model, 3),
        SLOT(IvnFileList, AddColumn, 5),
        SLOT(IvnFileList, Slot7, 7),
        SLOT(IvnFileList, Slot9, 9),
        SLOT(IvnFileListModel, get_Files, 11),
        SLOT(IvnFiles, get_Item, 3),
        SLOT(IvnFiles, get_Count, 5),
        SLOT(IvnFiles, Add, 9),
        SLOT(IvnImportTarget, get_Session, 3),
        SLOT(IvnHostSession, WriteSummary, 15),
        SLOT(IvnProgress, SetRange, 3),
        SLOT(IvnProgress, SetPosition, 4),
        SLOT(IvnProgress, Finish, 5),
        SLOT(IvnDataStore, get_Catalog, 3),
        SLOT(IvnDataStore, CreateProduct, 6),
        SLOT(IvnDataStore, CreateField, 10),
        SLOT(IvnDataStore, CreateMachine, 12),
        SLOT(IvnDataStore, CreateComponent, 14),
        SLOT(IvnDataStore, CreateContainer, 15),
        SLOT(IvnDataStore, CreateDataColumn, 16),
        SLOT(IvnDataStore, Slot20, 20),
        SLOT(IvnDataStore, CreateOperation, 23),
        SLOT(IvnCatalog, get_OperationDataList, 5),
        SLOT(IvnCatalog, get_ProductList, 7),
        SLOT(IvnCatalog, get_Fields, 12),
        SLOT(IvnCatalog, get_CropList, 36),
        SLOT(IvnCatalog, get_PrescriptionList, 37),
        SLOT(IvnFields, get_Item, 3),
        SLOT(IvnFields, get_Count, 5),
        SLOT(IvnField, get_Key, 3),
        SLOT(IvnField, get_Name, 8),
        SLOT(IvnField, get_Kind, 15),
        SLOT(IvnField, get_Parent, 17),
        SLOT(IvnField, get_Area, 25),
        SLOT(IvnCropZone, get_CropKey, 27),
        SLOT(IvnProductList, get_Item, 3),
        SLOT(IvnProduct, get_Key, 3),
        SLOT(IvnMachine, get_Key, 3),
        SLOT(IvnContainer, get_Key, 3),
        SLOT(IvnDataColumn, get_Key, 3),
        SLOT(IvnOperation, get_Data, 3),
        SLOT(IvnOperation, AddProduct, 5),
        SLOT(IvnOperation, AddMachine, 6),
        SLOT(IvnOperation, AddContainer, 7),
        SLOT(IvnOperation, EndPoint, 10),
        SLOT(IvnOperation, AddPoint, 12),
        SLOT(IvnOperation, DeclareMarker, 14),
        SLOT(IvnOperation, AddMarkerEvent, 15),
        SLOT(IvnOperationData, get_Properties, 11),
        SLOT(IvnOperationData, get_Node, 13),
        SLOT(IvnOperationData, get_Extent, 14),
        SLOT(IvnOperationData, get_Products, 19),
        SLOT(IvnOperationData, get_Machines, 20),
        SLOT(IvnOperationData, get_PointValues, 22),
        SLOT(IvnOperationData, get_Containers, 23),
        SLOT(IvnOperationData, put_Name, 41),
        SLOT(IvnOperationData, get_Comment, 44),
        SLOT(IvnOperationData, get_PrescriptionId, 49),
        SLOT(IvnOperationProducts, get_Item, 3),
        SLOT(IvnOperationMachines, get_Item, 3),
        SLOT(IvnOperationContainers, get_Item, 3),
        SLOT(IvnPointValues, get_Item, 3),
        SLOT(IvnPointValue, get_Measure, 8),
        SLOT(IvnExtent, get_YMin, 4),
        SLOT(IvnExtent, get_YMax, 5),
        SLOT(IvnExtent, get_XMin, 6),
        SLOT(IvnExtent, get_XMax, 7),
        SLOT(IvnExtent, Slot12, 12),
        SLOT(IvnExtent, put_TimeZoneHours, 23),
        SLOT(IvnCropList, get_Item, 3),
        SLOT(IvnCropList, get_Count, 5),
        SLOT(IvnCrop, get_Name, 8),
        SLOT(IvnOperationDataList, get_Item, 3),
        SLOT(IvnOperationDataList, get_Count, 5),
        SLOT(IvnPrescriptionList, get__NewEnum, 4),
        SLOT(IvnPrescriptionList, get_Count, 5),
        SLOT(IvnPrescription, get_RateSet, 9),
        SLOT(IvnPrescription, get_Id, 32),
        SLOT(IvnRateSet, get_Item, 3),
        SLOT(IvnRateSet, get__NewEnum, 4),
        SLOT(IvnRate, get_ProductKey, 3),
        SLOT(IvnRate, get_Value, 17),
        SLOT(IvnRxSurface, get_CellRates, 9),
        SLOT(IvnRxSurface, get_Columns, 12),
        SLOT(IvnRxSurface, get_Rows, 13),
        SLOT(IvnRxSurface, get_Extent, 14),
        SLOT(IvnRxSurface, MoveFirst, 17),
        SLOT(IvnRxSurface, MoveNext, 18),
        SLOT(IvnRxSurface, get_IsBlank, 38),
        SLOT(IvnRxSurface, Build, 45),
        SLOT(IvnFactory, WriteShapeFile, 14),
    };
    for (const SlotCase& c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
}

TEST(HostInterfaces, EveryInterfaceHasItsOwnIid) {
    const IID iids[] = {
        __uuidof(IkelUOMFactory),
        __uuidof(IkelMeasure),
        __uuidof(IkelQuantity),
        __uuidof(IvnProperties),
        __uuidof(IvnProperty),
        __uuidof(IvnPropertyChoices),
        __uuidof(IvnFileList),
        __uuidof(IvnFileListModel),
        __uuidof(IvnFiles),
        __uuidof(IvnImportTarget),
        __uuidof(IvnHostSession),
        __uuidof(IvnProgress),
        __uuidof(IvnDataStore),
        __uuidof(IvnCatalog),
        __uuidof(IvnFields),
        __uuidof(IvnField),
        __uuidof(IvnProductList),
        __uuidof(IvnProduct),
        __uuidof(IvnMachine),
        __uuidof(IvnComponentParent),
        __uuidof(IvnContainerParent),
        __uuidof(IvnContainer),
        __uuidof(IvnDataColumn),
        __uuidof(IvnOperation),
        __uuidof(IvnOperationLoad),
        __uuidof(IvnOperationData),
        __uuidof(IvnOperationProducts),
        __uuidof(IvnOperationMachines),
        __uuidof(IvnOperationContainers),
        __uuidof(IvnPointValues),
        __uuidof(IvnPointValue),
        __uuidof(IvnExtent),
        __uuidof(IvnCropZone),
        __uuidof(IvnCropList),
        __uuidof(IvnCrop),
        __uuidof(IvnOperationDataList),
        __uuidof(IvnPrescriptionList),
        __uuidof(IvnPrescription),
        __uuidof(IvnRateSet),
        __uuidof(IvnRate),
        __uuidof(IvnRxSurface),
        __uuidof(IvnFactory),
    };
    for (size_t i = 0; i < std::size(iids); ++i)
        for (size_t j = i + 1; j < std::size(iids); ++j) EXPECT_NE(iids[i], iids[j]) << i << " and " << j;
}

}  // namespace
