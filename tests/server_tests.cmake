# The test programs that also run on the test server, as <name>_pg: all but
# those of the file itself (its engine, its backups, restoring it).
set(SERVER_TESTS
  tst_engine tst_ageing tst_compdetail tst_gath tst_settlement tst_statements tst_application tst_helpers tst_helpwindow tst_login
  tst_serversettings
  tst_mainwindow tst_todaypage tst_billkeys tst_bills tst_billscan tst_dataset tst_operlog
  tst_company tst_employee tst_goods tst_import tst_power tst_settings tst_windowrules tst_labels
  tst_reportengine tst_reportlayouts tst_reportpreview tst_barcodes tst_operationlog tst_receivables
  tst_sheetimport tst_stockposting tst_stylegrid tst_listing tst_ranking tst_statisticsquery
  tst_datasetmodel tst_datawidgets tst_stylegriddialog tst_windowplacement tst_pickers tst_scanbar tst_mios tst_stockmovement
  tst_stocksheet tst_storchk tst_storequery tst_storini tst_saveidentity tst_billrules tst_till tst_tillwindow
  tst_deletionlog tst_styleanalysis tst_analysiswindows tst_members tst_markdowns tst_member tst_memberreports
  tst_pricing tst_memberpoints tst_memberlevels
)

# What the server has and the file has not.
set(SERVER_ONLY_TESTS tst_server tst_concurrency)
