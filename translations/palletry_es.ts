<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>palletry::CallProgress</name>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>%1 %2 s</source>
        <translation>%1 %2 s</translation>
    </message>
    <message>
        <source>Cancelling…</source>
        <translation>Cancelando…</translation>
    </message>
    <message>
        <source>Cancel the call</source>
        <translation>Cancelar la llamada</translation>
    </message>
</context>
<context>
    <name>palletry::ActionRunner</name>
    <message>
        <source>Reading the load…</source>
        <translation>Leyendo la carga…</translation>
    </message>
    <message>
        <source>Reading the vendors…</source>
        <translation>Leyendo los proveedores…</translation>
    </message>
    <message>
        <source>Reading the orders on the load…</source>
        <translation>Leyendo las órdenes de la carga…</translation>
    </message>
    <message>
        <source>Reading the vendor&apos;s orders…</source>
        <translation>Leyendo las órdenes del proveedor…</translation>
    </message>
    <message>
        <source>Reading the order&apos;s line items…</source>
        <translation>Leyendo las partidas de la orden…</translation>
    </message>
    <message>
        <source>Reading the order&apos;s details…</source>
        <translation>Leyendo los detalles de la orden…</translation>
    </message>
    <message>
        <source>Placing the order on the load…</source>
        <translation>Agregando la orden a la carga…</translation>
    </message>
    <message>
        <source>Saving the line item…</source>
        <translation>Guardando la partida…</translation>
    </message>
    <message>
        <source>Removing the order from the load…</source>
        <translation>Quitando la orden de la carga…</translation>
    </message>
    <message>
        <source>Waiting for the service…</source>
        <translation>Esperando al servicio…</translation>
    </message>
</context>
<context>
    <name>ErrorReport</name>
    <message>
        <source>An application error has occured. Please check the error logs</source>
        <translation>Se produjo un error en la aplicación. Revise los registros de errores</translation>
    </message>
</context>
<context>
    <name>FindPO</name>
    <message>
        <source>Please enter in a PO to find.</source>
        <translation>Escriba una orden de compra para buscarla.</translation>
    </message>
    <message>
        <source>PO Not Entered</source>
        <translation>Falta la orden de compra</translation>
    </message>
    <message>
        <source>Purchase Order Not found in any of the list for the selected Vendor</source>
        <translation>La orden de compra no está en ninguna lista del proveedor elegido</translation>
    </message>
</context>
<context>
    <name>LineItemEntry</name>
    <message>
        <source>Number of cartons has been left blank.</source>
        <translation>Falta el número de cajas.</translation>
    </message>
    <message>
        <source>Number of cartons must be a numeric value.</source>
        <translation>El número de cajas debe ser un valor numérico.</translation>
    </message>
    <message>
        <source>Unit weight has been left blank.</source>
        <translation>Falta el peso unitario.</translation>
    </message>
    <message>
        <source>Unit weight must be a numeric value.</source>
        <translation>El peso unitario debe ser un valor numérico.</translation>
    </message>
</context>
<context>
    <name>LoadManifest</name>
    <message>
        <source>not given</source>
        <translation>no indicado</translation>
    </message>
    <message>
        <source>%1 (person type %2)</source>
        <translation>%1 (tipo de persona %2)</translation>
    </message>
    <message>
        <source>Totals</source>
        <translation>Totales</translation>
    </message>
    <message>
        <source>Orders</source>
        <translation>Órdenes</translation>
    </message>
    <message>
        <source>Vendors</source>
        <translation>Proveedores</translation>
    </message>
    <message>
        <source>Cartons</source>
        <translation>Cajas</translation>
    </message>
    <message>
        <source>Load worked by: %1</source>
        <translation>Carga trabajada por: %1</translation>
    </message>
    <message>
        <source>Printed: %1</source>
        <translation>Impreso: %1</translation>
    </message>
    <message>
        <source>Driver&apos;s signature</source>
        <translation>Firma del conductor</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Fecha</translation>
    </message>
    <message>
        <source>Receiving clerk&apos;s signature</source>
        <translation>Firma del empleado de recepción</translation>
    </message>
    <message>
        <source>PO</source>
        <translation>OC</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Centro</translation>
    </message>
    <message>
        <source>Member</source>
        <translation>Socio</translation>
    </message>
    <message>
        <source>Freight group</source>
        <translation>Flete</translation>
    </message>
    <message>
        <source>Postal code</source>
        <translation>C.P.</translation>
    </message>
    <message>
        <source>Segment</source>
        <translation>Segm.</translation>
    </message>
    <message>
        <source>Load ID</source>
        <translation>ID carga</translation>
    </message>
    <message>
        <source>Truck</source>
        <translation>Camión</translation>
    </message>
    <message>
        <source>Carrier</source>
        <translation>Transportista</translation>
    </message>
    <message>
        <source>No orders are on this load.</source>
        <translation>No hay órdenes en esta carga.</translation>
    </message>
    <message>
        <source>Vendor %1</source>
        <translation>Proveedor %1</translation>
    </message>
    <message>
        <source>Vendor %1: %2</source>
        <translation>Proveedor %1: %2</translation>
    </message>
    <message>
        <source>%1 (continued)</source>
        <translation>%1 (continuación)</translation>
    </message>
    <message>
        <source>Subtotal for vendor %1 (orders: %2)</source>
        <translation>Subtotal del proveedor %1 (órdenes: %2)</translation>
    </message>
    <message>
        <source>Load manifest</source>
        <translation>Manifiesto de carga</translation>
    </message>
    <message>
        <source>Load %1</source>
        <translation>Carga %1</translation>
    </message>
    <message>
        <source>Truck: %1  ·  Date: %2  ·  Carrier: %3</source>
        <translation>Camión: %1  ·  Fecha: %2  ·  Transportista: %3</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Página %1 de %2</translation>
    </message>
    <message>
        <source>Load %1 manifest</source>
        <translation>Manifiesto de la carga %1</translation>
    </message>
    <message>
        <source>Print manifest</source>
        <translation>Imprimir manifiesto</translation>
    </message>
</context>
<context>
    <name>LoadReview</name>
    <message>
        <source>Please select an item from the list to remove</source>
        <translation>Elija en la lista la orden que desea quitar</translation>
    </message>
    <message>
        <source>Item Removal</source>
        <translation>Quitar orden</translation>
    </message>
    <message>
        <source>PO has been removed successfully from load</source>
        <translation>La orden de compra se quitó de la carga</translation>
    </message>
    <message>
        <source>PO Removal</source>
        <translation>Orden de compra quitada</translation>
    </message>
</context>
<context>
    <name>LoadSheet</name>
    <message>
        <source>Export load</source>
        <translation>Exportar carga</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Archivos CSV (*.csv)</translation>
    </message>
</context>
<context>
    <name>Loaders</name>
    <message>
        <source>Row</source>
        <translation>Fila</translation>
    </message>
    <message>
        <source>Line Item</source>
        <translation>Partida</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Modelo</translation>
    </message>
    <message>
        <source>Item Description</source>
        <translation>Descripción del artículo</translation>
    </message>
</context>
<context>
    <name>Palletry</name>
    <message>
        <source>Version number: %1.%2.%3</source>
        <translation>Número de versión: %1.%2.%3</translation>
    </message>
    <message>
        <source>Export load…</source>
        <translation>Exportar carga…</translation>
    </message>
    <message>
        <source>Print manifest…</source>
        <translation>Imprimir manifiesto…</translation>
    </message>
</context>
<context>
    <name>Screen</name>
    <message>
        <source>Vendor Details</source>
        <translation>Detalles del proveedor</translation>
    </message>
    <message>
        <source>Load/Vendor</source>
        <translation>Carga/Proveedor</translation>
    </message>
    <message>
        <source>All Selected POs</source>
        <translation>Todas las OC seleccionadas</translation>
    </message>
    <message>
        <source>Load Details</source>
        <translation>Datos de la carga</translation>
    </message>
    <message>
        <source>Load ID</source>
        <translation>ID carga</translation>
    </message>
    <message>
        <source>Truck Number</source>
        <translation>N.º camión</translation>
    </message>
    <message>
        <source>Load Date</source>
        <translation>Fecha</translation>
    </message>
    <message>
        <source>Carrier</source>
        <translation>Transp.</translation>
    </message>
    <message>
        <source>Vendor ID</source>
        <translation>ID proveedor</translation>
    </message>
    <message>
        <source>Name of Vendor</source>
        <translation>Nombre del proveedor</translation>
    </message>
    <message>
        <source>View &amp;Details</source>
        <translation>Ver &amp;detalles</translation>
    </message>
    <message>
        <source>View &amp;All</source>
        <translation>Ver &amp;todo</translation>
    </message>
    <message>
        <source>Prospective Order(s)</source>
        <translation>Órdenes posibles</translation>
    </message>
    <message>
        <source>OrderID</source>
        <translation>N.º de OC</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Centro</translation>
    </message>
    <message>
        <source>Double Click to add order to load</source>
        <translation>Doble clic para agregar la orden a la carga</translation>
    </message>
    <message>
        <source>Selected Order(s)</source>
        <translation>Órdenes seleccionadas</translation>
    </message>
    <message>
        <source># Cartons</source>
        <translation>Cajas</translation>
    </message>
    <message>
        <source>Center Name</source>
        <translation>Nombre del centro</translation>
    </message>
    <message>
        <source>Double Click to edit # of Cartons</source>
        <translation>Doble clic para editar el número de cajas</translation>
    </message>
    <message>
        <source>Search P.O.</source>
        <translation>Buscar orden de compra</translation>
    </message>
    <message>
        <source>Find P.O.</source>
        <translation>N.º OC</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Buscar</translation>
    </message>
    <message>
        <source>Search In:</source>
        <translation>Buscar en:</translation>
    </message>
    <message>
        <source>Prospective POs</source>
        <translation>OC posibles</translation>
    </message>
    <message>
        <source>Selected POs</source>
        <translation>OC elegidas</translation>
    </message>
    <message>
        <source>Order Details</source>
        <translation>Detalles de la orden</translation>
    </message>
    <message>
        <source>Number of Cartons</source>
        <translation>Número de cajas</translation>
    </message>
    <message>
        <source>Line Item#</source>
        <translation>N.º partida</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Modelo</translation>
    </message>
    <message>
        <source>Weight</source>
        <translation>Peso unitario</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Guardar</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Cancelar</translation>
    </message>
    <message>
        <source>&amp;Done</source>
        <translation>&amp;Terminar</translation>
    </message>
    <message>
        <source>MemberID</source>
        <translation>ID socio</translation>
    </message>
    <message>
        <source>CenterID</source>
        <translation>ID centro</translation>
    </message>
    <message>
        <source>VendorID</source>
        <translation>ID proveedor</translation>
    </message>
    <message>
        <source>FreightGroup</source>
        <translation>Grupo de flete</translation>
    </message>
    <message>
        <source>PostalCode</source>
        <translation>Código postal</translation>
    </message>
    <message>
        <source>MaxSequence</source>
        <translation>Secuencia</translation>
    </message>
    <message>
        <source>Add to Selected P O:</source>
        <translation>OC a agregar:</translation>
    </message>
    <message>
        <source>Add P O</source>
        <translation>Agregar OC</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Quitar</translation>
    </message>
    <message>
        <source>This control is for error handling. So I set it to invisible.</source>
        <translation>Este control es para el manejo de errores. Por eso está oculto.</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Seleccionar</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Seleccionar todas</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Quitar</translation>
    </message>
    <message>
        <source>Remove All</source>
        <translation>Quitar todas</translation>
    </message>
    <message>
        <source>Error Message</source>
        <translation>Mensaje de error</translation>
    </message>
    <message>
        <source>Every vendor: vendor ID and name</source>
        <translation>Todos los proveedores: ID y nombre del proveedor</translation>
    </message>
    <message>
        <source>The chosen vendor&apos;s open orders that are not picked for the load, with their center</source>
        <translation>Órdenes abiertas del proveedor elegido que no están elegidas para la carga, con su centro</translation>
    </message>
    <message>
        <source>The chosen vendor&apos;s orders picked for the load, with their number of cartons and center</source>
        <translation>Órdenes del proveedor elegido que van en la carga, con su número de cajas y su centro</translation>
    </message>
    <message>
        <source>Every order on the load, whatever its vendor, with its number of cartons and center</source>
        <translation>Todas las órdenes de la carga, de cualquier proveedor, con su número de cajas y su centro</translation>
    </message>
    <message>
        <source>Line items of the chosen order: line item, model and description</source>
        <translation>Partidas de la orden elegida: partida, modelo y descripción</translation>
    </message>
    <message>
        <source>Line items of the order being added: line item, model and description</source>
        <translation>Partidas de la orden que se agrega: partida, modelo y descripción</translation>
    </message>
</context>
<context>
    <name>TableCopy</name>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copiar</translation>
    </message>
</context>
<context>
    <name>VendorDetailsSaving</name>
    <message>
        <source>Data has been saved successfully!!!</source>
        <translation>¡Los datos se guardaron correctamente!</translation>
    </message>
</context>
<context>
    <name>palletry::ManualPOEntry</name>
    <message>
        <source>P O field cannot be left blank.</source>
        <translation>El campo de orden de compra no puede quedar vacío.</translation>
    </message>
    <message>
        <source>Blank PO Field</source>
        <translation>Orden de compra vacía</translation>
    </message>
    <message>
        <source>Data has been saved successfully!!!</source>
        <translation>¡Los datos se guardaron correctamente!</translation>
    </message>
</context>
</TS>
