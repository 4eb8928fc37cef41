<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>BrelvaneQtDemo</name>
    <message>
        <source>设置域号</source>
        <translation>Set Domain IDs</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>输入错误</source>
        <translation>Input Error</translation>
    </message>
    <message>
        <source>输入格式应为:域号被;隔开且域号在0-200之间</source>
        <translation>Enter domain IDs separated by &quot;;&quot;, each from 0 to 200</translation>
    </message>
    <message>
        <source>加入域失败</source>
        <translation>Cannot Join Domain</translation>
    </message>
    <message>
        <source>以下域无法加入:%1</source>
        <translation>These domains could not be joined: %1</translation>
    </message>
</context>
<context>
    <name>BrelvaneQtDemoClass</name>
    <message>
        <source>BrelvaneQtDemo</source>
        <translation>BrelvaneQtDemo</translation>
    </message>
    <message>
        <source>设置域号</source>
        <translation>Set Domain IDs</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
</context>
<context>
    <name>BrelvaneWidget</name>
    <message>
        <source>BrelvaneWidget</source>
        <translation>BrelvaneWidget</translation>
    </message>
</context>
<context>
    <name>ComparisonRows</name>
    <message>
        <source>类型名称</source>
        <translation>Type name</translation>
    </message>
    <message>
        <source>类型名称必须相等</source>
        <translation>Type names must be equal</translation>
    </message>
    <message>
        <source>类型编码</source>
        <translation>Type code</translation>
    </message>
    <message>
        <source>类型编码必须相同</source>
        <translation>Type codes must be identical</translation>
    </message>
    <message>
        <source>QoS匹配项</source>
        <translation>QoS policies</translation>
    </message>
    <message>
        <source>QoS必须满足RxO规则</source>
        <translation>QoS must meet the request-offered (RxO) rules</translation>
    </message>
    <message>
        <source>发布端&gt;=订阅端</source>
        <translation>writer &gt;= reader</translation>
    </message>
    <message>
        <source>发布端&lt;=订阅端</source>
        <translation>writer &lt;= reader</translation>
    </message>
    <message>
        <source>需要满足一下三个条件</source>
        <translation>All three conditions must hold</translation>
    </message>
    <message>
        <source>发布端 &gt;= 订阅端（true&gt;false）</source>
        <translation>writer &gt;= reader (true &gt; false)</translation>
    </message>
    <message>
        <source>发布端 &gt;= 订阅端（GROUP&gt;TOPIC&gt;INSTANCE）</source>
        <translation>writer &gt;= reader (GROUP &gt; TOPIC &gt; INSTANCE)</translation>
    </message>
    <message>
        <source>发布端==订阅端</source>
        <translation>writer == reader</translation>
    </message>
    <message>
        <source>需满足以下两个条件</source>
        <translation>Both conditions must hold</translation>
    </message>
    <message>
        <source>发布端&gt;=订阅端（MANUAL_BY_TOPIC&gt;MANUAL_BY_PARTICIPANT&gt;AUTOMATIC）</source>
        <translation>writer &gt;= reader (MANUAL_BY_TOPIC &gt; MANUAL_BY_PARTICIPANT &gt; AUTOMATIC)</translation>
    </message>
    <message>
        <source>发布端&gt;=订阅端（RELIABLE&gt;BEST_EFFORT）</source>
        <translation>writer &gt;= reader (RELIABLE &gt; BEST_EFFORT)</translation>
    </message>
    <message>
        <source>发布端&gt;=订阅端（BY_SOURCE_TIMESTAMP&gt;BY_RECEPTION_TIMESTAMP）</source>
        <translation>writer &gt;= reader (BY_SOURCE_TIMESTAMP &gt; BY_RECEPTION_TIMESTAMP)</translation>
    </message>
    <message>
        <source>至少有一个相同分区</source>
        <translation>At least one partition in common</translation>
    </message>
</context>
<context>
    <name>DetailWidget</name>
    <message>
        <source>%1号域：%2详细信息</source>
        <translation>Domain %1: %2 details</translation>
    </message>
</context>
<context>
    <name>DomainSummaryTree</name>
    <message>
        <source>域</source>
        <translation>Domain</translation>
    </message>
    <message>
        <source>参与者</source>
        <translation>Participants</translation>
    </message>
    <message>
        <source>节点</source>
        <translation>Hosts</translation>
    </message>
    <message>
        <source>进程</source>
        <translation>Processes</translation>
    </message>
    <message>
        <source>话题</source>
        <translation>Topics</translation>
    </message>
    <message>
        <source>发布端</source>
        <translation>Writers</translation>
    </message>
    <message>
        <source>订阅端</source>
        <translation>Readers</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Errors</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warnings</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Info</translation>
    </message>
</context>
<context>
    <name>EventLogPage</name>
    <message>
        <source>导出…</source>
        <translation>Export…</translation>
    </message>
    <message>
        <source>筛选：任一列包含的文字</source>
        <translation>Filter: text in any column</translation>
    </message>
    <message>
        <source>QoS变更</source>
        <translation>QoS changed</translation>
    </message>
    <message>
        <source>域参与者</source>
        <translation>Participant</translation>
    </message>
    <message>
        <source>导出事件</source>
        <translation>Export Events</translation>
    </message>
    <message>
        <source>JSON Lines (*.jsonl);;所有文件 (*)</source>
        <translation>JSON Lines (*.jsonl);;All files (*)</translation>
    </message>
    <message>
        <source>导出失败</source>
        <translation>Export Failed</translation>
    </message>
    <message>
        <source>无法写入文件:%1</source>
        <translation>Cannot write the file: %1</translation>
    </message>
</context>
<context>
    <name>EventTableModel</name>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>域</source>
        <translation>Domain</translation>
    </message>
    <message>
        <source>事件</source>
        <translation>Event</translation>
    </message>
    <message>
        <source>实体</source>
        <translation>Entity</translation>
    </message>
    <message>
        <source>话题</source>
        <translation>Topic</translation>
    </message>
    <message>
        <source>节点</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>进程</source>
        <translation>Process</translation>
    </message>
    <message>
        <source>标识</source>
        <translation>Handle</translation>
    </message>
    <message>
        <source>加入</source>
        <translation>Joined</translation>
    </message>
    <message>
        <source>离开</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>QoS变更</source>
        <translation>QoS changed</translation>
    </message>
    <message>
        <source>域参与者</source>
        <translation>Participant</translation>
    </message>
    <message>
        <source>数据写者</source>
        <translation>Writer</translation>
    </message>
    <message>
        <source>数据读者</source>
        <translation>Reader</translation>
    </message>
    <message>
        <source>类型名称:%1</source>
        <translation>Type: %1</translation>
    </message>
</context>
<context>
    <name>HostInfoWidget</name>
    <message>
        <source>DDS实体列表</source>
        <translation>DDS Entities</translation>
    </message>
    <message>
        <source>实体名称</source>
        <translation>Entity</translation>
    </message>
    <message>
        <source>摘要信息</source>
        <translation>Summary</translation>
    </message>
    <message>
        <source>进程名：%1</source>
        <translation>Process: %1</translation>
    </message>
    <message>
        <source>域参与者</source>
        <translation>Domain participant</translation>
    </message>
    <message>
        <source>所属域：%1</source>
        <translation>Domain: %1</translation>
    </message>
    <message>
        <source>数据读者</source>
        <translation>Data readers</translation>
    </message>
    <message>
        <source>数据写者</source>
        <translation>Data writers</translation>
    </message>
    <message>
        <source>主题名称:%1</source>
        <translation>Topic: %1</translation>
    </message>
    <message>
        <source>类型名称:%1</source>
        <translation>Type: %1</translation>
    </message>
</context>
<context>
    <name>LeftMark</name>
    <message>
        <source>离开于 %1</source>
        <translation>Left at %1</translation>
    </message>
</context>
<context>
    <name>MatchWidget</name>
    <message>
        <source>检查项</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>匹配规则</source>
        <translation>Rule</translation>
    </message>
    <message>
        <source>发布端</source>
        <translation>Writer</translation>
    </message>
    <message>
        <source>订阅端</source>
        <translation>Reader</translation>
    </message>
    <message>
        <source>匹配分析</source>
        <translation>Match Analysis</translation>
    </message>
    <message>
        <source>是</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>只显示前 %1 个：无法匹配的排在前面，其余按列出的顺序</source>
        <translation>Only the first %1 are shown: those that cannot match first, the others in listing order</translation>
    </message>
    <message>
        <source>另有 %1 个订阅端未显示（共 %2 个）</source>
        <translation>%1 more readers not shown (%2 in all)</translation>
    </message>
    <message>
        <source>另有 %1 个发布端未显示（共 %2 个）</source>
        <translation>%1 more writers not shown (%2 in all)</translation>
    </message>
    <message>
        <source>所选端点%1</source>
        <translation>The chosen endpoint: %1</translation>
    </message>
</context>
<context>
    <name>MyTab</name>
    <message>
        <source>测试使用的标签栏标题</source>
        <translation>Tab title for testing</translation>
    </message>
</context>
<context>
    <name>Problem</name>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Info</translation>
    </message>
</context>
<context>
    <name>ProblemList</name>
    <message>
        <source>级别</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>域</source>
        <translation>Domain</translation>
    </message>
    <message>
        <source>话题</source>
        <translation>Topic</translation>
    </message>
    <message>
        <source>问题</source>
        <translation>Problem</translation>
    </message>
    <message>
        <source>发布端</source>
        <translation>Writer</translation>
    </message>
    <message>
        <source>订阅端</source>
        <translation>Reader</translation>
    </message>
</context>
<context>
    <name>ProblemReport</name>
    <message>
        <source>%1号域：参与者 %2，发布端 %3，订阅端 %4，错误 %5</source>
        <translation>Domain %1: participants %2, writers %3, readers %4, errors %5</translation>
    </message>
    <message>
        <source>；</source>
        <comment>between two domains</comment>
        <translation>; </translation>
    </message>
</context>
<context>
    <name>QoSInfo</name>
    <message>
        <source>QoS名称</source>
        <translation>Policy</translation>
    </message>
    <message>
        <source>QoS值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>QoS信息</source>
        <translation>QoS</translation>
    </message>
</context>
<context>
    <name>QosRule</name>
    <message>
        <source>发布端和订阅端不在同一个域中</source>
        <translation>the writer and the reader are not in the same domain</translation>
    </message>
    <message>
        <source>话题名称不同（逐字节比较，区分大小写）</source>
        <translation>the topic names differ (compared byte by byte, case-sensitive)</translation>
    </message>
    <message>
        <source>类型名称不同</source>
        <translation>the type names differ</translation>
    </message>
    <message>
        <source>发布端提供的持久性低于订阅端的要求</source>
        <translation>the writer offers less durability than the reader requests</translation>
    </message>
    <message>
        <source>发布端的访问范围小于订阅端的要求</source>
        <translation>the writer&apos;s access scope is narrower than the reader requests</translation>
    </message>
    <message>
        <source>订阅端要求一致性访问（coherent），发布端未提供</source>
        <translation>the reader requests coherent access, the writer does not offer it</translation>
    </message>
    <message>
        <source>订阅端要求有序访问（ordered），发布端未提供</source>
        <translation>the reader requests ordered access, the writer does not offer it</translation>
    </message>
    <message>
        <source>发布端的截止期限长于订阅端要求的期限</source>
        <translation>the writer&apos;s deadline period is longer than the reader requests</translation>
    </message>
    <message>
        <source>发布端的延迟预算大于订阅端的要求</source>
        <translation>the writer&apos;s latency budget is larger than the reader requests</translation>
    </message>
    <message>
        <source>发布端和订阅端的所有权类型不同</source>
        <translation>the writer and the reader differ in ownership kind</translation>
    </message>
    <message>
        <source>发布端的活跃性类型低于订阅端的要求</source>
        <translation>the writer&apos;s liveliness kind is weaker than the reader requests</translation>
    </message>
    <message>
        <source>发布端的活跃性租期长于订阅端要求的租期</source>
        <translation>the writer&apos;s liveliness lease duration is longer than the reader requests</translation>
    </message>
    <message>
        <source>发布端提供的可靠性低于订阅端的要求</source>
        <translation>the writer offers less reliability than the reader requests</translation>
    </message>
    <message>
        <source>发布端的数据排序方式低于订阅端的要求</source>
        <translation>the writer&apos;s destination order is weaker than the reader requests</translation>
    </message>
    <message>
        <source>发布端和订阅端没有共同的分区</source>
        <translation>the writer and the reader have no partition in common</translation>
    </message>
</context>
<context>
    <name>Reason</name>
    <message>
        <source>%1：%2（发布端 %3，订阅端 %4）</source>
        <translation>%1: %2 (writer %3, reader %4)</translation>
    </message>
</context>
<context>
    <name>StatisticalTab</name>
    <message>
        <source>问题</source>
        <translation>Problems</translation>
    </message>
    <message>
        <source>统计</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>事件</source>
        <translation>Events</translation>
    </message>
</context>
<context>
    <name>SysLogic</name>
    <message>
        <source>系统逻辑图</source>
        <translation>Logical View</translation>
    </message>
    <message>
        <source>%1号域</source>
        <translation>Domain %1</translation>
    </message>
    <message>
        <source>%1 对发布端和订阅端无法匹配</source>
        <translation>Writer/reader pairs that cannot match: %1</translation>
    </message>
</context>
<context>
    <name>SysPhysics</name>
    <message>
        <source>系统物理图</source>
        <translation>Physical View</translation>
    </message>
</context>
<context>
    <name>TabTree</name>
    <message>
        <source>TabTree</source>
        <translation>TabTree</translation>
    </message>
</context>
<context>
    <name>TabWidget</name>
    <message>
        <source>TreeWidget</source>
        <translation>TreeWidget</translation>
    </message>
</context>
<context>
    <name>TopicInfo</name>
    <message>
        <source>实体列表</source>
        <translation>Entities</translation>
    </message>
    <message>
        <source>实体类型</source>
        <translation>Entity type</translation>
    </message>
    <message>
        <source>节点</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>进程/模块名</source>
        <translation>Process/module</translation>
    </message>
    <message>
        <source>进程号</source>
        <translation>PID</translation>
    </message>
    <message>
        <source>标识</source>
        <translation>Handle</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>首次发现于 %1</source>
        <translation>First seen at %1</translation>
    </message>
</context>
<context>
    <name>TopicProblems</name>
    <message>
        <source>只有 %1 个订阅端，没有发布端</source>
        <translation>Only readers (%1), no writer</translation>
    </message>
    <message>
        <source>只有 %1 个发布端，没有订阅端</source>
        <translation>Only writers (%1), no reader</translation>
    </message>
    <message>
        <source>还有 %1 对无法匹配的发布端和订阅端未列出</source>
        <translation>More writer/reader pairs that cannot match, not listed: %1</translation>
    </message>
    <message>
        <source>没有可以匹配的订阅端（共 %1 个订阅端）</source>
        <translation>No reader it can match (readers: %1)</translation>
    </message>
    <message>
        <source>没有可以匹配的发布端（共 %1 个发布端）</source>
        <translation>No writer it can match (writers: %1)</translation>
    </message>
    <message>
        <source>还有 %1 个没有匹配对象的端点未列出</source>
        <translation>More endpoints without a match, not listed: %1</translation>
    </message>
</context>
<context>
    <name>Verdict</name>
    <message>
        <source>可以匹配</source>
        <translation>Can match</translation>
    </message>
    <message>
        <source>无法匹配：</source>
        <translation>Cannot match: </translation>
    </message>
    <message>
        <source>；</source>
        <comment>between two reasons</comment>
        <translation>; </translation>
    </message>
</context>
</TS>
