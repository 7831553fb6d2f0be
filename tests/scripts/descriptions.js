// A JScript client of the description collection: JScript's Enumerator asks for the
// collection's enumerator as a method call (DISPATCH_METHOD), not as a property.
var descriptions = new ActiveXObject("NivraTesk.Descriptions");
var count = 0;
for (var items = new Enumerator(descriptions); !items.atEnd(); items.moveNext()) {
    count++;
    WScript.Echo("item " + count + ": " + typeof items.item());
}
WScript.Echo("items: " + count);
